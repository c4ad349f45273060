#pragma once

// The factory of one module type, written once for every module. A module's
// source file describes its records (see recordFamilyDefinition.h) and then
// names its factory in one line:
//
//   VNX_DEFINE_RECORD_FAMILY(X, XRecords)
//   VNX_DEFINE_MODULE_FACTORY(X, ::X, XRecords)     // module class ::X
//   VNX_DEFINE_RECORD_ONLY_FACTORY(Y, YRecords)     // records, no module class
//
// Each defines the class vnx::X_ModuleFactory with its one instance
// vnx::X_ModuleFactory::__instance (built by the library's static
// initialisers) and the exported vnx_X_moduleFactoryRegister/Unregister.

#include <cstdlib>

#include "common/statusCode.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/ModuleFactoryInterface.h"
#include "moduleFactory/StaticMemoryManager.h"
#include "moduleFactory/moduleInterface.h"
#include "moduleFactory/recordFamilyDefinition.h"

namespace vnx {

/// The record half of a factory, for the module type described by `Family`.
/// On its own it is the factory of a type without module class: no module is
/// ever created and destroying one is a no-op.
template <class Family> class RecordFactoryFor : public ModuleFactoryInterface
{
    using Operations = RecordFamilyOperations<Family>;

  public:
    explicit RecordFactoryFor(const char* name) : name_(name) {}
    RecordFactoryFor(const RecordFactoryFor&) = delete;
    RecordFactoryFor& operator=(const RecordFactoryFor&) = delete;

    ModuleInterface* createModule() override { return nullptr; }
    int destroyModule(ModuleInterface*) override { return VNX_STATUS_SUCCESS; }

    vnx_StructConfig_s* createConfig() override
    {
        return create<typename Operations::Config, vnx_StructConfig_s>();
    }
    int destroyConfig(vnx_StructConfig_s* record) override { return destroy(record); }
    vnx_StructCommand_s* createCommand() override
    {
        return create<typename Operations::Command, vnx_StructCommand_s>();
    }
    int destroyCommand(vnx_StructCommand_s* record) override { return destroy(record); }
    vnx_StructStatus_s* createStatus() override
    {
        return create<typename Operations::Status, vnx_StructStatus_s>();
    }
    int destroyStatus(vnx_StructStatus_s* record) override { return destroy(record); }
    vnx_StructFormat_s* createFormat() override
    {
        return create<typename Operations::Format, vnx_StructFormat_s>();
    }
    int destroyFormat(vnx_StructFormat_s* record) override { return destroy(record); }
    vnx_StructOutput_s* createOutput() override
    {
        return create<typename Operations::Output, vnx_StructOutput_s>();
    }
    int destroyOutput(vnx_StructOutput_s* record) override { return destroy(record); }

    bool isStructValid(vnx_Struct_s* record) override { return Operations::isStructValid(record) != 0; }

    const char* getName() const override { return name_; }
    uint8_t getType() const override { return Family::type; }

    int factoryRegister() override { return ModuleFactory::registerModule(this); }
    int factoryUnregister() override { return ModuleFactory::unregisterModule(this); }

  private:
    // Zero-filled so that padding, which the initialiser leaves alone, is 0.
    // Records are plain bytes: every factory frees with std::free, so any
    // factory of the type id can take a record back.
    template <class KindOperations, class Generic> static Generic* create() noexcept
    {
        using Record = typename KindOperations::Record;
        auto* record = static_cast<Record*>(std::calloc(1, KindOperations::shape.size));
        if (record != nullptr) {
            KindOperations::init(record);
        }
        return reinterpret_cast<Generic*>(record);
    }

    static int destroy(void* record) noexcept
    {
        std::free(record);
        return VNX_STATUS_SUCCESS;
    }

    const char* name_;
};

/// The factory of a module type with module class `Module` (default
/// constructible, base ModuleInterface): its modules live in the factory's
/// own pool.
template <class Module, class Family> class ModuleFactoryFor : public RecordFactoryFor<Family>
{
  public:
    using RecordFactoryFor<Family>::RecordFactoryFor;

    /// Null when the module cannot be made: no exception leaves a factory.
    ModuleInterface* createModule() override
    {
        try {
            return pool_.create();
        } catch (...) {
            return nullptr;
        }
    }

    int destroyModule(ModuleInterface* module) override
    {
        if (module == nullptr) {
            return VNX_STATUS_SUCCESS;
        }
        // A module of another class is not this pool's: never delete it.
        auto* own = dynamic_cast<Module*>(module);
        if (own == nullptr || !pool_.destroy(own)) {
            return VNX_STATUS_INTERNAL_ERROR;
        }
        return VNX_STATUS_SUCCESS;
    }

  private:
    StaticMemoryManager<Module> pool_;
};

} // namespace vnx

// The named factory class over the factory template given as `...` (a
// template id may hold commas), its one instance and the registration pair.
#define VNX_DEFINE_FACTORY_CLASS(Module, ...)                                                                \
    namespace vnx {                                                                                          \
    class Module##_ModuleFactory final : public __VA_ARGS__                                                  \
    {                                                                                                        \
      public:                                                                                                \
        Module##_ModuleFactory() : __VA_ARGS__(#Module) {}                                                   \
        static Module##_ModuleFactory __instance;                                                            \
    };                                                                                                       \
    Module##_ModuleFactory Module##_ModuleFactory::__instance;                                               \
    }                                                                                                        \
    VNX_DEFINE_MODULE_FACTORY_REGISTRATION(Module, ::vnx::Module##_ModuleFactory::__instance)

/// Factory of module type `Module` (its name) with module class `ModuleClass`
/// and record description `Family`, with the registration functions.
#define VNX_DEFINE_MODULE_FACTORY(Module, ModuleClass, Family)                                               \
    VNX_DEFINE_FACTORY_CLASS(Module, ::vnx::ModuleFactoryFor<ModuleClass, Family>)

/// Factory of a type that has records but no module class.
#define VNX_DEFINE_RECORD_ONLY_FACTORY(Module, Family)                                                       \
    VNX_DEFINE_FACTORY_CLASS(Module, ::vnx::RecordFactoryFor<Family>)
