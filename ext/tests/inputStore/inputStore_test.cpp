#include <gtest/gtest.h>

#include <vector>

#include "buttonActivity/ButtonActivityRecords.h"
#include "common/statusCode.h"
#include "deviceSupport/DeviceSupport.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "inputStore/InputJoin.h"
#include "inputStore/InputStore.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleInterface.h"
#include "serialization/SerializationRecords.h"
#include "support/allocationCounter.h"
#include "support/sampleBatch.h"

namespace {

using vnx::InputJoin;
using vnx::InputStore;
using vnx::test::allocationsDuring;

// The record types of the presenter's samples are known to the factory.
class InputStoreTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        vnx_ButtonActivity_moduleFactoryRegister();
        vnx_DeviceSupport_moduleFactoryRegister();
        vnx_DeviceSupport6AG_moduleFactoryRegister();
        vnx_SerializationModule_moduleFactoryRegister();
    }
    void TearDown() override
    {
        vnx_ButtonActivity_moduleFactoryUnregister();
        vnx_DeviceSupport_moduleFactoryUnregister();
        vnx_DeviceSupport6AG_moduleFactoryUnregister();
        vnx_SerializationModule_moduleFactoryUnregister();
    }
};

// One raw presenter sample: its buttons and its motion, each with a format.
struct RawSample
{
    explicit RawSample(int number)
    {
        vnx_ButtonActivity_initOutput(&buttons);
        buttons.buttons = number & 3;
        vnx_ButtonActivity_initFormat(&buttonsFormat);
        vnx_DeviceSupport6AG_initOutput(&motion);
        motion.sampleNumber = number;
        motion.gyroscope[2] = static_cast<int16_t>(-7 * number);
        vnx_DeviceSupport6AG_initFormat(&motionFormat);
    }
    const vnx_StructOutput_s* outputs[2] = {&buttons.output, &motion.output};
    const vnx_StructFormat_s* formats[2] = {&buttonsFormat, &motionFormat};

    vnx_ButtonActivity_Output_s buttons;
    vnx_ButtonActivity_Format_s buttonsFormat;
    vnx_DeviceSupport6AG_Output_s motion;
    vnx_DeviceSupport6AG_Format_s motionFormat;
};

TEST_F(InputStoreTest, StoreShapesOnceThenReusesItsRecords)
{
    InputStore store;
    RawSample first(1);
    store.store(2, first.outputs, first.formats);

    unsigned long n = 0;
    const vnx_StructOutput_s** outputs = nullptr;
    const vnx_StructFormat_s** formats = nullptr;
    store.peek(n, outputs, formats);
    ASSERT_EQ(n, 2u);
    EXPECT_EQ(outputs[0]->header.type, 5);
    EXPECT_EQ(outputs[1]->header.type, 22);
    EXPECT_EQ(formats[0]->header.type, 5);
    EXPECT_EQ(formats[1]->header.type, 22);
    EXPECT_NE(outputs[1], first.outputs[1]) << "the store owns copies";
    const vnx_StructOutput_s* kept[2] = {outputs[0], outputs[1]};

    RawSample second(2);
    store.store(2, second.outputs, second.formats);
    EXPECT_EQ(store.retrieve(n, outputs, formats), 2u);
    EXPECT_EQ(outputs[0], kept[0]);
    EXPECT_EQ(outputs[1], kept[1]);
    EXPECT_EQ(reinterpret_cast<const vnx_DeviceSupport6AG_Output_s*>(outputs[1])->sampleNumber, 2);
    EXPECT_EQ(reinterpret_cast<const vnx_ButtonActivity_Output_s*>(outputs[0])->buttons, 2u);

    EXPECT_EQ(store.retrieve(n, outputs, formats), 0u);
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(outputs[1], kept[1]);
}

TEST_F(InputStoreTest, StoringAndRetrievingAKeptShapeAllocatesNothing)
{
    InputStore store;
    RawSample sample(0);
    if (vnx::test::countsCAllocations()) {
        // The records themselves come from the C allocator.
        EXPECT_EQ(allocationsDuring([&] { store.init(2, sample.outputs, sample.formats); }), 2 + 4);
    }
    store.store(2, sample.outputs, sample.formats);
    unsigned long n = 0;
    const vnx_StructOutput_s** outputs = nullptr;
    const vnx_StructFormat_s** formats = nullptr;
    const long allocations = allocationsDuring([&] {
        for (int i = 1; i < 2000; ++i) {
            RawSample next(i);
            store.store(2, next.outputs, next.formats);
            store.retrieve(n, outputs, formats);
        }
    });
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(reinterpret_cast<const vnx_DeviceSupport6AG_Output_s*>(outputs[1])->sampleNumber, 1999);
}

TEST_F(InputStoreTest, BatchOfAnotherShapeReshapes)
{
    InputStore store;
    RawSample sample(5);
    store.store(2, sample.outputs, sample.formats);
    EXPECT_TRUE(store.isValid(2, sample.outputs, sample.formats));
    EXPECT_FALSE(store.isValid(1, sample.outputs, sample.formats));

    // Same type, another version: not the same record.
    vnx_DeviceSupport6AG_Output_s newer = sample.motion;
    newer.output.header.version = 2;
    const vnx_StructOutput_s* changed[2] = {&sample.buttons.output, &newer.output};
    EXPECT_FALSE(store.isValid(2, changed, sample.formats));
    store.store(2, changed, sample.formats);
    unsigned long n = 0;
    const vnx_StructOutput_s** outputs = nullptr;
    const vnx_StructFormat_s** formats = nullptr;
    EXPECT_EQ(store.retrieve(n, outputs, formats), 2u);
    // Re-shaped after the batch's types: the factory's records of type 22
    // have their own version, which the copy does not cross.
    EXPECT_EQ(outputs[1]->header.version, 1);
    EXPECT_FALSE(store.isValid(2, changed, sample.formats));

    // A slot without Format is kept without one.
    const vnx_StructFormat_s* someFormats[2] = {nullptr, &sample.motionFormat};
    store.store(2, sample.outputs, someFormats);
    EXPECT_EQ(store.retrieve(n, outputs, formats), 1u);
    EXPECT_EQ(formats[0], nullptr);
    EXPECT_NE(formats[1], nullptr);
    EXPECT_TRUE(store.isValid(2, sample.outputs, someFormats));
    EXPECT_FALSE(store.isValid(2, sample.outputs, sample.formats));
}

TEST_F(InputStoreTest, UnknownTypeLeavesTheStoreEmpty)
{
    InputStore store;
    const unsigned char types[] = {5, 200, 22};
    EXPECT_FALSE(store.init(3, types));
    unsigned long n = 9;
    const vnx_StructOutput_s** outputs = nullptr;
    const vnx_StructFormat_s** formats = nullptr;
    store.peek(n, outputs, formats);
    EXPECT_EQ(n, 0u);

    vnx_Struct_s stranger = {};
    stranger.size = 16;
    stranger.type = 200;
    stranger.kind = VNX_KIND_OUTPUT;
    stranger.version = 1;
    const vnx_StructOutput_s* batch[] = {reinterpret_cast<vnx_StructOutput_s*>(&stranger)};
    store.store(1, batch, nullptr);
    EXPECT_EQ(store.retrieve(n, outputs, formats), 0u) << "nothing stored is nothing counted";
    EXPECT_EQ(n, 0u);

    EXPECT_TRUE(store.init(0, types));
    const unsigned char known[] = {5, 22};
    ASSERT_TRUE(store.init(2, known));
    store.peek(n, outputs, formats);
    EXPECT_EQ(n, 2u);
    EXPECT_NE(formats[0], nullptr);
}

// A module that only describes its interfaces.
class InterfaceOnlyModule : public vnx::ModuleInterface
{
  public:
    InterfaceOnlyModule(std::vector<std::vector<uint8_t>> inputs, std::vector<std::vector<uint8_t>> outputs)
        : inputs_(std::move(inputs)), outputs_(std::move(outputs))
    {
    }
    int setModuleListener(vnx::ModuleListenerInterface*) override { return -1; }
    int getConfig(vnx_StructConfig_s*) const override { return -1; }
    int setConfig(const vnx_StructConfig_s*) override { return -1; }
    int sendCommand(const vnx_StructCommand_s*) override { return -1; }
    uint8_t getType() const override { return 7; }
    int init(const vnx_scdData_s*, int&, const vnx_dcdData_s*, int&) override { return -1; }
    int term() override { return -1; }
    int getDcd(vnx_dcdData_s*, int, int&) const override { return -1; }
    int getInputInterfaceCount() const override { return int(inputs_.size()); }
    int getInputInterface(int index, size_t capacity, uint8_t* ids, size_t& count) const override
    {
        return describe(inputs_, index, capacity, ids, count);
    }
    int getOutputInterfaceCount() const override { return int(outputs_.size()); }
    int getOutputInterface(int index, size_t capacity, uint8_t* ids, size_t& count) const override
    {
        return describe(outputs_, index, capacity, ids, count);
    }
    int process(int, size_t, const vnx_StructOutput_s**, const vnx_StructFormat_s**, int, size_t,
                vnx_StructOutput_s**, vnx_StructFormat_s**) override
    {
        return -1;
    }

  private:
    static int describe(const std::vector<std::vector<uint8_t>>& lists, int index, size_t capacity,
                        uint8_t* ids, size_t& count)
    {
        if (index < 0 || index >= int(lists.size())) {
            return VNX_STATUS_INVALID_INTERFACE;
        }
        count = lists[index].size();
        if (capacity < count) {
            return VNX_STATUS_SIZE_TOO_SMALL;
        }
        for (size_t i = 0; i < count; ++i) {
            ids[i] = lists[index][i];
        }
        return 0;
    }
    std::vector<std::vector<uint8_t>> inputs_;
    std::vector<std::vector<uint8_t>> outputs_;
};

TEST_F(InputStoreTest, ShapesAfterAModuleInterface)
{
    InterfaceOnlyModule module({{1, 1}, {22, 5}}, {{5}, {22, 22, 5}});
    InputStore store;
    unsigned long n = 0;
    const vnx_StructOutput_s** outputs = nullptr;
    const vnx_StructFormat_s** formats = nullptr;

    ASSERT_TRUE(store.initFromModuleInput(&module, 1));
    store.peek(n, outputs, formats);
    ASSERT_EQ(n, 2u);
    EXPECT_EQ(outputs[0]->header.type, 22);
    EXPECT_EQ(outputs[1]->header.type, 5);

    ASSERT_TRUE(store.initFromModuleOutput(&module, 1));
    store.peek(n, outputs, formats);
    ASSERT_EQ(n, 3u);
    EXPECT_EQ(outputs[2]->header.type, 5);

    EXPECT_FALSE(store.initFromModuleOutput(&module, 3));
    EXPECT_FALSE(store.initFromModuleInput(&module, 2));
    EXPECT_FALSE(store.initFromModuleInput(&module, -1));

    // A module without outputs leaves the store as it is.
    InterfaceOnlyModule sink({{5}}, {});
    EXPECT_TRUE(store.initFromModuleOutput(&sink, 0));
    store.peek(n, outputs, formats);
    EXPECT_EQ(n, 3u);
    EXPECT_FALSE(store.initFromModuleOutput(&sink, 1));
}

TEST_F(InputStoreTest, SerializedStreamCarriesAStoreIntoAnother)
{
    InputStore sender;
    RawSample sample(42);
    sender.store(2, sample.outputs, sample.formats);
    sender.setStreamId(7);

    const vnx_Struct_s* records[6];
    unsigned long count = 0;
    EXPECT_EQ(sender.structSerialize(4, records, &count), -11);
    EXPECT_EQ(count, 6u);
    ASSERT_EQ(sender.structSerialize(6, records, &count), 0);
    EXPECT_EQ(sender.getSerializationStart()->slotCount, 2u);

    InputStore receiver;
    receiver.setStreamId(7);
    std::vector<int> answers;
    for (const vnx_Struct_s* record : records) {
        answers.push_back(receiver.structDeserialize(record));
    }
    EXPECT_EQ(answers, (std::vector<int>{980, 980, 980, 980, 980, 0}));
    unsigned long n = 0;
    const vnx_StructOutput_s** outputs = nullptr;
    const vnx_StructFormat_s** formats = nullptr;
    EXPECT_EQ(receiver.retrieve(n, outputs, formats), 1u);
    ASSERT_EQ(n, 2u);
    EXPECT_EQ(reinterpret_cast<const vnx_DeviceSupport6AG_Output_s*>(outputs[1])->gyroscope[2], -7 * 42);

    // Another stream's records pass by; so do records outside a batch.
    InputStore other;
    other.setStreamId(8);
    for (const vnx_Struct_s* record : records) {
        EXPECT_EQ(other.structDeserialize(record), 981);
    }
    EXPECT_EQ(other.retrieve(n, outputs, formats), 0u);
    EXPECT_EQ(receiver.structDeserialize(records[1]), 981);
}

TEST_F(InputStoreTest, JoinPresentsItsSlotsAsOneBatch)
{
    InputJoin join;
    ASSERT_TRUE(join.init(2));
    RawSample sample(3);
    vnx::testsupport::SampleBatch sensors;
    const vnx_StructOutput_s* three[] = {&sensors.gyro.output, &sensors.acc.output, &sample.buttons.output};
    const vnx_StructFormat_s* threeFormats[] = {&sensors.gyroFormat.format, &sensors.accFormat.format,
                                                &sample.buttonsFormat};
    join.store(0, 2, sample.outputs, sample.formats);
    join.store(1, 3, three, threeFormats);
    join.store(2, 2, sample.outputs, sample.formats); // no such slot
    EXPECT_FALSE(join.isValid(2, 2, sample.outputs, sample.formats));
    EXPECT_TRUE(join.isValid(1, 3, three, threeFormats));
    EXPECT_FALSE(join.init(5, 2, sample.outputs, sample.formats));

    unsigned long n = 0;
    const vnx_StructOutput_s** outputs = nullptr;
    const vnx_StructFormat_s** formats = nullptr;
    EXPECT_EQ(join.retrieve(n, outputs, formats), 2u);
    ASSERT_EQ(n, 5u);
    const uint8_t types[] = {5, 22, 1, 1, 5};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(outputs[i]->header.type, types[i]) << i;
        EXPECT_EQ(formats[i]->header.type, types[i]) << i;
    }
    EXPECT_EQ(join.retrieve(n, outputs, formats), 0u);

    // A slot that grows is seen whole at the next retrieve.
    const vnx_StructOutput_s* four[] = {&sensors.gyro.output, &sensors.acc.output, &sample.buttons.output,
                                        &sample.motion.output};
    const vnx_StructFormat_s* fourFormats[] = {&sensors.gyroFormat.format, &sensors.accFormat.format,
                                               &sample.buttonsFormat, &sample.motionFormat};
    join.store(1, 4, four, fourFormats);
    EXPECT_EQ(join.retrieve(n, outputs, formats), 1u);
    ASSERT_EQ(n, 6u);
    EXPECT_EQ(outputs[5]->header.type, 22);
    EXPECT_EQ(reinterpret_cast<const vnx_DeviceSupport6AG_Output_s*>(outputs[5])->sampleNumber, 3);
}

} // namespace
