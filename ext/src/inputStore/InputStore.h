#pragma once

// An owned pair of parallel Output and Format record arrays, shaped after a
// list of record types, a batch or a module's interface, into which batches
// are copied and from which they are handed out again. Shaped lazily: a
// store whose batches keep their shape copies bytes only and allocates
// nothing.

#include <cstddef>
#include <vector>

#include "base/StructDeserializer.h"
#include "common/record.h"
#include "serialization/SerializationRecords.h"

namespace vnx {

class ModuleInterface;

class InputStore
{
  public:
    InputStore();
    ~InputStore();
    InputStore(const InputStore&) = delete;
    InputStore& operator=(const InputStore&) = delete;

    /// Destroys every record; the stored counter goes back to 0.
    void clear();

    /// Shapes the store after the types of `outputs[0..n-1]`; a slot gets a
    /// Format record where `formats[i]` is present (all slots when
    /// `formats` is null). False, with the store left empty, when a record
    /// cannot be created or an Output is missing.
    bool init(unsigned long n, const vnx_StructOutput_s** outputs, const vnx_StructFormat_s** formats);
    bool init(unsigned long n, vnx_StructOutput_s** outputs, vnx_StructFormat_s** formats);
    /// Shapes the store after `n` type ids, each slot with an Output and a
    /// Format record.
    bool init(unsigned long n, const unsigned char* typeIds);
    /// Shapes the store after input interface `id` of the module.
    bool initFromModuleInput(const ModuleInterface* module, int id);
    /// Shapes the store after output interface `id`; a module without
    /// output interfaces asked for id 0 leaves the store as it is (true).
    bool initFromModuleOutput(const ModuleInterface* module, int id);

    /// Whether the batch fits the current shape: same count, every Output
    /// and Format similar (size, type, kind, version) to the stored one, a
    /// Format present exactly where the store has one.
    bool isValid(unsigned long n, const vnx_StructOutput_s** outputs,
                 const vnx_StructFormat_s** formats) const;
    bool isValid(unsigned long n, vnx_StructOutput_s** outputs, vnx_StructFormat_s** formats) const;
    /// Copies the batch in, re-shaping first when it does not fit (a failed
    /// shaping copies nothing), and counts the call.
    void store(unsigned long n, const vnx_StructOutput_s** outputs, const vnx_StructFormat_s** formats);
    void store(unsigned long n, vnx_StructOutput_s** outputs, vnx_StructFormat_s** formats);
    /// Gives the records; answers the number of stores since the last
    /// retrieve (0: nothing new) and resets it.
    unsigned retrieve(unsigned long& n, const vnx_StructOutput_s**& outputs,
                      const vnx_StructFormat_s**& formats);
    unsigned retrieve(unsigned long& n, vnx_StructOutput_s**& outputs, vnx_StructFormat_s**& formats);
    /// As retrieve, without touching the counter.
    void peek(unsigned long& n, const vnx_StructOutput_s**& outputs,
              const vnx_StructFormat_s**& formats) const;
    void peek(unsigned long& n, vnx_StructOutput_s**& outputs, vnx_StructFormat_s**& formats) const;

    /// Lists the store as a serialized record sequence (start record, each
    /// Output and Format, end record) in at most `capacity` entries; the
    /// serialization's answer (-11 when it needs more, `*count` says how
    /// many).
    int structSerialize(unsigned long capacity, const vnx_Struct_s** records, unsigned long* count);
    /// Feeds one record of a serialized stream in: 980 while a batch is
    /// being collected; 981 for records outside a batch and for a stream of
    /// another stream id; once the batch is complete it is stored and the
    /// answer is that of taking it apart (0); other errors as they come.
    int structDeserialize(const vnx_Struct_s* record);

    void setStreamId(unsigned int id) { start_.streamId = id; }
    const vnx_SerializationModule_Output_s* getSerializationStart() const { return &start_; }

  private:
    /// Destroys every record; the stored counter stays (a re-shaped store
    /// still counts the batches stored before).
    void destroyRecords();
    /// Shapes after `n` types; `withFormat(i)` says whether slot i gets a
    /// Format record.
    template <class TypeOf, class WithFormat>
    bool shape(unsigned long n, TypeOf typeOf, WithFormat withFormat);

    std::vector<vnx_StructOutput_s*> outputs_;
    std::vector<vnx_StructFormat_s*> formats_;
    unsigned stored_ = 0;
    vnx_SerializationModule_Output_s start_;
    vnx_SerializationModule_Format_s end_;
    StructDeserializer deserializer_;
};

} // namespace vnx
