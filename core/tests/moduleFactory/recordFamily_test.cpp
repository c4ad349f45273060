#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "common/moduleType.h"
#include "moduleFactory/recordFamilyDefinition.h"

// A test-only module "Gadget" (type 200) with module fields in three kinds,
// declared and defined exactly as a real module does it.
typedef struct vnx_Gadget_Config_s
{
    vnx_StructConfig_s config;
    uint32_t gain;
    int16_t offset;
    uint8_t padding[2];
} vnx_Gadget_Config_s;
typedef struct vnx_Gadget_Command_s
{
    vnx_StructCommand_s command;
    uint32_t code;
    uint8_t padding[4];
} vnx_Gadget_Command_s;
typedef vnx_StructStatus_s vnx_Gadget_Status_s;
typedef struct vnx_Gadget_Format_s
{
    vnx_StructFormat_s format;
    uint32_t periodUs;
    uint8_t padding[4];
} vnx_Gadget_Format_s;
typedef struct vnx_Gadget_Output_s
{
    vnx_StructOutput_s output;
    int32_t x;
    int32_t y;
} vnx_Gadget_Output_s;
VNX_DECLARE_RECORD_FAMILY(Gadget)

// Two record-only families that borrow real type ids, to check the header word.
typedef vnx_StructConfig_s vnx_FakeButtons_Config_s;
typedef vnx_StructCommand_s vnx_FakeButtons_Command_s;
typedef vnx_StructStatus_s vnx_FakeButtons_Status_s;
typedef vnx_StructFormat_s vnx_FakeButtons_Format_s;
typedef struct vnx_FakeButtons_Output_s
{
    vnx_StructOutput_s output;
    uint32_t buttons;
    uint8_t padding[12];
} vnx_FakeButtons_Output_s;
VNX_DECLARE_RECORD_FAMILY(FakeButtons)

typedef vnx_StructConfig_s vnx_FakeSixAxis_Config_s;
typedef vnx_StructCommand_s vnx_FakeSixAxis_Command_s;
typedef vnx_StructStatus_s vnx_FakeSixAxis_Status_s;
typedef vnx_StructFormat_s vnx_FakeSixAxis_Format_s;
typedef struct vnx_FakeSixAxis_Output_s
{
    vnx_StructOutput_s output;
    int16_t samples[12];
} vnx_FakeSixAxis_Output_s;
VNX_DECLARE_RECORD_FAMILY(FakeSixAxis)

namespace {

constexpr uint8_t kGadgetType = 200;

struct GadgetRecords
{
    static constexpr uint8_t type = kGadgetType;
    using Config = vnx::RecordKind<vnx_Gadget_Config_s, 40, 3>;
    using Command = vnx::RecordKind<vnx_Gadget_Command_s, 40, 1>;
    using Status = vnx::RecordKind<vnx_Gadget_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_Gadget_Format_s, 24, 2>;
    using Output = vnx::RecordKind<vnx_Gadget_Output_s, 24, 1>;

    static void setDefaults(vnx_Gadget_Config_s& config)
    {
        config.gain = 7;
        config.offset = -5;
    }
    static void setDefaults(vnx_Gadget_Command_s& command) { command.code = 2; }
    static void setDefaults(vnx_Gadget_Format_s& format) { format.periodUs = 10000; }
    static void setDefaults(vnx_Gadget_Output_s& output)
    {
        output.x = 0;
        output.y = 0;
    }
};

struct FakeButtonsRecords
{
    static constexpr uint8_t type = VNX_TYPE_BUTTON_ACTIVITY;
    using Config = vnx::RecordKind<vnx_FakeButtons_Config_s, 32, 1>;
    using Command = vnx::RecordKind<vnx_FakeButtons_Command_s, 32, 1>;
    using Status = vnx::RecordKind<vnx_FakeButtons_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_FakeButtons_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_FakeButtons_Output_s, 32, 1>;
};

struct FakeSixAxisRecords
{
    static constexpr uint8_t type = VNX_TYPE_DEVICE_SUPPORT_6AG;
    using Config = vnx::RecordKind<vnx_FakeSixAxis_Config_s, 32, 1>;
    using Command = vnx::RecordKind<vnx_FakeSixAxis_Command_s, 32, 1>;
    using Status = vnx::RecordKind<vnx_FakeSixAxis_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_FakeSixAxis_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_FakeSixAxis_Output_s, 40, 1>;
};

// Stands in for a module's factory instance: counts the calls it receives.
struct CountingFactory
{
    int registerCalls = 0;
    int unregisterCalls = 0;
    int factoryRegister() { return ++registerCalls == 1 ? 0 : VNX_STATUS_MODULE_ALREADY_EXISTS; }
    int factoryUnregister()
    {
        ++unregisterCalls;
        return 1;
    }
};
CountingFactory gadgetFactory;

struct ThrowingFactory
{
    int factoryRegister() { throw std::bad_alloc(); }
    int factoryUnregister() { throw std::runtime_error("registry gone"); }
};
ThrowingFactory fakeButtonsFactory;

} // namespace

VNX_DEFINE_RECORD_FAMILY(Gadget, GadgetRecords)
VNX_DEFINE_MODULE_FACTORY_REGISTRATION(Gadget, gadgetFactory)
VNX_DEFINE_RECORD_FAMILY(FakeButtons, FakeButtonsRecords)
VNX_DEFINE_MODULE_FACTORY_REGISTRATION(FakeButtons, fakeButtonsFactory)
VNX_DEFINE_RECORD_FAMILY(FakeSixAxis, FakeSixAxisRecords)

namespace {

constexpr unsigned char kGarbage = 0xAB;

// Storage for one record, filled with garbage so that what an initialiser
// writes, and what it leaves alone, both show.
template <typename Record> struct Dirty
{
    alignas(8) unsigned char bytes[sizeof(Record)];
    Dirty() { std::memset(bytes, kGarbage, sizeof bytes); }
    Record* record() { return reinterpret_cast<Record*>(bytes); }
    vnx_Struct_s* header() { return reinterpret_cast<vnx_Struct_s*>(bytes); }
};

void expectHeader(const vnx_Struct_s* header, uint16_t size, uint8_t type, uint8_t kind, uint8_t version)
{
    EXPECT_EQ(header->size, size);
    EXPECT_EQ(header->type, type);
    EXPECT_EQ(header->kind, kind);
    EXPECT_EQ(header->version, version);
    EXPECT_EQ(header->instanceId, 0u);
    // Padding is the caller's: the initialiser leaves it as it was.
    for (uint8_t byte : header->padding) {
        EXPECT_EQ(byte, kGarbage);
    }
}

template <typename ResultRecord> void expectResultFields(const ResultRecord& record)
{
    EXPECT_EQ(record.result, 0u);
    EXPECT_EQ(record.extra, -1);
    for (uint8_t byte : record.padding) {
        EXPECT_EQ(byte, kGarbage);
    }
}

TEST(RecordFamilyInit, ConfigGetsHeaderResultFieldsAndDefaults)
{
    Dirty<vnx_Gadget_Config_s> config;
    EXPECT_EQ(vnx_Gadget_initConfig(config.record()), 0);
    expectHeader(config.header(), 40, kGadgetType, VNX_KIND_CONFIG, 3);
    expectResultFields(config.record()->config);
    EXPECT_EQ(config.record()->gain, 7u);
    EXPECT_EQ(config.record()->offset, -5);
    EXPECT_EQ(config.record()->padding[0], kGarbage);
}

TEST(RecordFamilyInit, KindsWithoutModuleFieldsGetTheBareLayout)
{
    Dirty<vnx_Gadget_Status_s> status;
    EXPECT_EQ(vnx_Gadget_initStatus(status.record()), 0);
    expectHeader(status.header(), 32, kGadgetType, VNX_KIND_STATUS, 1);
    expectResultFields(*status.record());

    Dirty<vnx_FakeButtons_Format_s> format;
    EXPECT_EQ(vnx_FakeButtons_initFormat(format.record()), 0);
    expectHeader(format.header(), 16, VNX_TYPE_BUTTON_ACTIVITY, VNX_KIND_FORMAT, 1);
}

TEST(RecordFamilyInit, FormatAndOutputHaveNoResultFields)
{
    Dirty<vnx_Gadget_Format_s> format;
    EXPECT_EQ(vnx_Gadget_initFormat(format.record()), 0);
    expectHeader(format.header(), 24, kGadgetType, VNX_KIND_FORMAT, 2);
    EXPECT_EQ(format.record()->periodUs, 10000u);
    EXPECT_EQ(format.record()->padding[0], kGarbage);

    Dirty<vnx_Gadget_Output_s> output;
    EXPECT_EQ(vnx_Gadget_initOutput(output.record()), 0);
    expectHeader(output.header(), 24, kGadgetType, VNX_KIND_OUTPUT, 1);
    EXPECT_EQ(output.record()->x, 0);
    EXPECT_EQ(output.record()->y, 0);

    // A module without Output defaults leaves its sample fields alone.
    Dirty<vnx_FakeButtons_Output_s> buttons;
    EXPECT_EQ(vnx_FakeButtons_initOutput(buttons.record()), 0);
    expectHeader(buttons.header(), 32, VNX_TYPE_BUTTON_ACTIVITY, VNX_KIND_OUTPUT, 1);
    EXPECT_EQ(buttons.record()->buttons, 0xABABABABu);
}

TEST(RecordFamilyInit, EveryCommandInitialiserSetsResultExtraAndInstanceId)
{
    Dirty<vnx_Gadget_Command_s> gadget;
    Dirty<vnx_FakeButtons_Command_s> buttons;
    Dirty<vnx_FakeSixAxis_Command_s> sixAxis;
    ASSERT_EQ(vnx_Gadget_initCommand(gadget.record()), 0);
    ASSERT_EQ(vnx_FakeButtons_initCommand(buttons.record()), 0);
    ASSERT_EQ(vnx_FakeSixAxis_initCommand(sixAxis.record()), 0);

    const vnx_StructCommand_s* commands[] = {&gadget.record()->command, buttons.record(), sixAxis.record()};
    for (const vnx_StructCommand_s* command : commands) {
        EXPECT_EQ(command->header.kind, VNX_KIND_COMMAND);
        EXPECT_EQ(command->result, 0u);
        EXPECT_EQ(command->extra, -1);
        EXPECT_EQ(command->header.instanceId, 0u);
    }
    EXPECT_EQ(gadget.record()->code, 2u);
}

TEST(RecordFamilyInit, NullRecordIsRefused)
{
    EXPECT_EQ(vnx_Gadget_initConfig(nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Gadget_initOutput(nullptr), VNX_STATUS_INVALID_PARAMETER);
}

TEST(RecordFamilyHeader, TypeAndKindWordNamesTheRecord)
{
    Dirty<vnx_FakeButtons_Config_s> config;
    Dirty<vnx_FakeSixAxis_Output_s> output;
    vnx_FakeButtons_initConfig(config.record());
    vnx_FakeSixAxis_initOutput(output.record());
    EXPECT_EQ(config.bytes[2] | (config.bytes[3] << 8), 261);
    EXPECT_EQ(output.bytes[2] | (output.bytes[3] << 8), 1302);
}

// One way to spoil a valid record's header.
struct Mutation
{
    const char* name;
    void (*apply)(vnx_Struct_s&);
    bool stillValid;
};

const Mutation kMutations[] = {
    {"untouched", [](vnx_Struct_s&) {}, true},
    {"other instance id", [](vnx_Struct_s& h) { h.instanceId = 77; }, true},
    {"size one short", [](vnx_Struct_s& h) { --h.size; }, false},
    {"size one long", [](vnx_Struct_s& h) { ++h.size; }, false},
    {"next version", [](vnx_Struct_s& h) { ++h.version; }, false},
    {"other type", [](vnx_Struct_s& h) { h.type = VNX_TYPE_TEST_MODULE; }, false},
    {"other kind", [](vnx_Struct_s& h) { h.kind = h.kind == 1 ? 2 : 1; }, false},
    {"type and kind swapped",
     [](vnx_Struct_s& h) {
         const uint8_t type = h.type;
         h.type = h.kind;
         h.kind = type;
     },
     false},
};

TEST(RecordFamilyDynamicCast, ChecksTypeKindVersionAndSize)
{
    for (const Mutation& m : kMutations) {
        Dirty<vnx_Gadget_Output_s> output;
        vnx_Gadget_initOutput(output.record());
        m.apply(*output.header());
        vnx_StructOutput_s* generic = vnx_Gadget_upCastOutput(output.record());
        const vnx_StructOutput_s* constGeneric = generic;
        const vnx_Gadget_Output_s* expected = m.stillValid ? output.record() : nullptr;
        EXPECT_EQ(vnx_Gadget_dynamicDownCastOutput(generic), expected) << m.name;
        EXPECT_EQ(vnx_Gadget_dynamicDownCastConstOutput(constGeneric), expected) << m.name;

        Dirty<vnx_Gadget_Config_s> config;
        vnx_Gadget_initConfig(config.record());
        m.apply(*config.header());
        vnx_StructConfig_s* genericConfig = vnx_Gadget_upCastConfig(config.record());
        EXPECT_EQ(vnx_Gadget_dynamicDownCastConfig(genericConfig) != nullptr, m.stillValid) << m.name;
    }
    EXPECT_EQ(vnx_Gadget_dynamicDownCastOutput(nullptr), nullptr);
    EXPECT_EQ(vnx_Gadget_dynamicDownCastConstConfig(nullptr), nullptr);
}

TEST(RecordFamilyDynamicCast, AnotherModulesRecordOfTheSameShapeIsRefused)
{
    // Same kind, size and version; only the type differs.
    Dirty<vnx_FakeButtons_Config_s> buttons;
    vnx_FakeButtons_initConfig(buttons.record());
    EXPECT_EQ(vnx_FakeSixAxis_dynamicDownCastConfig(buttons.record()), nullptr);
    EXPECT_EQ(vnx_FakeButtons_dynamicDownCastConfig(buttons.record()), buttons.record());
}

TEST(RecordFamilyCasts, UpAndDownCastsAreUncheckedIdentity)
{
    Dirty<vnx_Gadget_Format_s> format; // garbage header: nothing is checked
    vnx_StructFormat_s* generic = vnx_Gadget_upCastFormat(format.record());
    EXPECT_EQ(static_cast<void*>(generic), format.bytes);
    EXPECT_EQ(vnx_Gadget_downCastFormat(generic), format.record());
    EXPECT_EQ(vnx_Gadget_downCastConstFormat(generic), format.record());
    EXPECT_EQ(vnx_Gadget_upCastConstFormat(format.record()), generic);
}

TEST(RecordFamilyValidity, EachInitialisedKindIsValid)
{
    Dirty<vnx_Gadget_Config_s> config;
    Dirty<vnx_Gadget_Command_s> command;
    Dirty<vnx_Gadget_Status_s> status;
    Dirty<vnx_Gadget_Format_s> format;
    Dirty<vnx_Gadget_Output_s> output;
    vnx_Gadget_initConfig(config.record());
    vnx_Gadget_initCommand(command.record());
    vnx_Gadget_initStatus(status.record());
    vnx_Gadget_initFormat(format.record());
    vnx_Gadget_initOutput(output.record());
    for (vnx_Struct_s* header :
         {config.header(), command.header(), status.header(), format.header(), output.header()}) {
        EXPECT_EQ(vnx_Gadget_isStructValid(header), 1) << "kind " << int(header->kind);
        EXPECT_EQ(vnx_FakeButtons_isStructValid(header), 0) << "kind " << int(header->kind);
    }
}

TEST(RecordFamilyValidity, SpoiledHeadersAreInvalid)
{
    for (const Mutation& m : kMutations) {
        Dirty<vnx_Gadget_Format_s> format;
        vnx_Gadget_initFormat(format.record());
        m.apply(*format.header());
        // "other kind" turns the Format into a Config or Command of the wrong size.
        EXPECT_EQ(vnx_Gadget_isStructValid(format.header()), m.stillValid ? 1 : 0) << m.name;
    }
}

TEST(RecordFamilyValidity, KindOutsideOneToFiveIsInvalid)
{
    for (uint8_t kind : {0, 6, 255}) {
        Dirty<vnx_Gadget_Output_s> output;
        vnx_Gadget_initOutput(output.record());
        output.header()->kind = kind;
        EXPECT_EQ(vnx_Gadget_isStructValid(output.header()), 0) << int(kind);
    }
    EXPECT_EQ(vnx_Gadget_isStructValid(nullptr), 0);
}

TEST(RecordFamilyValidity, ValidityFollowsTheKindsOwnShape)
{
    // A header that is right for Gadget's Config (40 bytes, version 3) but
    // labelled as its Status (32 bytes, version 1) is not valid.
    Dirty<vnx_Gadget_Config_s> config;
    vnx_Gadget_initConfig(config.record());
    config.header()->kind = VNX_KIND_STATUS;
    EXPECT_EQ(vnx_Gadget_isStructValid(config.header()), 0);
    config.header()->size = 32;
    config.header()->version = 1;
    EXPECT_EQ(vnx_Gadget_isStructValid(config.header()), 1);
}

TEST(RecordFamilyRegistration, ForwardsToTheFactoryInstanceAndReturnsItsResult)
{
    gadgetFactory = CountingFactory{};
    EXPECT_EQ(vnx_Gadget_moduleFactoryRegister(), 0);
    EXPECT_EQ(vnx_Gadget_moduleFactoryRegister(), VNX_STATUS_MODULE_ALREADY_EXISTS);
    EXPECT_EQ(vnx_Gadget_moduleFactoryUnregister(), 1);
    EXPECT_EQ(gadgetFactory.registerCalls, 2);
    EXPECT_EQ(gadgetFactory.unregisterCalls, 1);
    gadgetFactory = CountingFactory{};
}

TEST(RecordFamilyRegistration, RegistryFailureDoesNotEscapeAsAnException)
{
    EXPECT_EQ(vnx_FakeButtons_moduleFactoryRegister(), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_FakeButtons_moduleFactoryUnregister(), VNX_STATUS_INVALID_PARAMETER);
}

} // namespace
