#include <gtest/gtest.h>

#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleInterface.h"
#include "serialization/SerializationModule.h"
#include "serialization/SerializationRecords.h"
#include "support/recordBytes.h"

namespace {

using vnx::testsupport::byteAt;
using vnx::testsupport::filled;

TEST(SerializationRecords, HeadAndClosingRecordStartEmpty)
{
    auto head = filled<vnx_SerializationModule_Output_s>();
    ASSERT_EQ(vnx_SerializationModule_initOutput(&head), 0);
    EXPECT_EQ(head.output.header.size, 48);
    EXPECT_EQ(head.output.header.type, 104);
    EXPECT_EQ(head.output.header.kind, VNX_KIND_OUTPUT);
    EXPECT_EQ(head.output.header.version, 1);
    for (size_t offset = 8; offset < 44; ++offset) {
        EXPECT_EQ(byteAt(head, offset), 0) << offset;
    }

    auto closing = filled<vnx_SerializationModule_Format_s>();
    ASSERT_EQ(vnx_SerializationModule_initFormat(&closing), 0);
    EXPECT_EQ(closing.format.header.size, 24);
    EXPECT_EQ(closing.headerValue, 0u);

    auto status = filled<vnx_SerializationModule_Status_s>();
    ASSERT_EQ(vnx_SerializationModule_initStatus(&status), 0);
    EXPECT_EQ(status.status.header.size, 56);
    EXPECT_EQ(status.word, 0u);
    EXPECT_EQ(status.first, 0u);
    EXPECT_EQ(status.second, 0u);

    EXPECT_TRUE(vnx_SerializationModule_isStructValid(&head.output.header));
    head.output.header.size = 40;
    EXPECT_FALSE(vnx_SerializationModule_isStructValid(&head.output.header));
}

TEST(SerializationModule, DoesNoWork)
{
    ASSERT_EQ(vnx_SerializationModule_moduleFactoryRegister(), 0);
    vnx::ModuleInterface* module = vnx::ModuleFactory::createModule(104);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->getType(), 104);
    EXPECT_EQ(module->getInputInterfaceCount(), 0);
    EXPECT_EQ(module->getOutputInterfaceCount(), 1);
    uint8_t ids[4];
    size_t count = 9;
    EXPECT_EQ(module->getInputInterface(0, 4, ids, count), -1);
    EXPECT_EQ(count, 0u);
    count = 9;
    EXPECT_EQ(module->getOutputInterface(0, 4, ids, count), -1);
    EXPECT_EQ(count, 0u);
    int scdOffset = 0;
    int dcdOffset = 0;
    EXPECT_EQ(module->init(nullptr, scdOffset, nullptr, dcdOffset), -1);
    EXPECT_EQ(module->term(), -1);
    EXPECT_EQ(module->getDcd(nullptr, 0, dcdOffset), -1);
    EXPECT_EQ(module->process(0, 0, nullptr, nullptr, 0, 0, nullptr, nullptr), -1);
    EXPECT_EQ(module->setModuleListener(nullptr), -1);
    EXPECT_EQ(module->getConfig(nullptr), -1);
    EXPECT_EQ(module->setConfig(nullptr), -1);
    EXPECT_EQ(module->sendCommand(nullptr), -1);
    EXPECT_EQ(vnx::ModuleFactory::destroyModule(module), 0);

    // A module the factory did not make is not its to destroy.
    SerializationModule stranger;
    EXPECT_EQ(vnx::ModuleFactory::destroyModule(&stranger), -10);
    EXPECT_EQ(vnx_SerializationModule_moduleFactoryUnregister(), 1);
}

} // namespace
