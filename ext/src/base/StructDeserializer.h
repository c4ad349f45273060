#pragma once

// Collects the records of one serialized batch (head record, the slots'
// Outputs and Formats, closing record) as they arrive one by one, and hands
// the batch back as parallel Output and Format arrays.

#include <cstddef>
#include <vector>

#include "common/record.h"
#include "serialization/SerializationRecords.h"

namespace vnx {

class StructDeserializer
{
  public:
    /// Most records a batch may announce (head and closing record included),
    /// and most slots it may have.
    static constexpr uint64_t kMaxRecords = 4096;

    StructDeserializer();
    ~StructDeserializer();
    StructDeserializer(const StructDeserializer&) = delete;
    StructDeserializer& operator=(const StructDeserializer&) = delete;

    /// Offers one record, of which a copy is kept:
    /// 980 a head record started a batch, or a record joined it;
    /// 0 the closing record ended the batch (then call retrieve);
    /// 981 a record outside any batch, closing records included (nothing
    /// kept); -1030 a record past the batch's announced count, or a head
    /// record announcing fewer than 2 or more than kMaxRecords records or
    /// too short to be one (nothing kept); -2 for null.
    /// A head record during a batch throws the unfinished batch away.
    int handle(const vnx_Struct_s* record);

    /// The collected batch as `n` slots: the arrays point into the kept
    /// copies and stay valid until the next head record, retrieve,
    /// clearReturn, clear or destruction. The answer of taking the batch
    /// apart (vnx_structArrayDeserialize); -1030 for a batch of more than
    /// kMaxRecords slots. On failure `n` is 0 and both arrays null.
    int retrieve(size_t& n, const vnx_StructOutput_s**& outputs, const vnx_StructFormat_s**& formats);
    int retrieve(size_t& n, vnx_StructOutput_s**& outputs, vnx_StructFormat_s**& formats);

    /// The head record of the current or last batch.
    const vnx_SerializationModule_Output_s& getStart() const { return start_; }

    /// Frees every kept copy and both handed-out arrays; back to idle.
    void clear();
    /// Frees the handed-out arrays only.
    void clearReturn();

  private:
    void keep(const vnx_Struct_s* record);
    void freeCopies();

    bool collecting_ = false;
    std::vector<vnx_Struct_s*> records_;
    std::vector<const vnx_StructOutput_s*> outputs_;
    std::vector<const vnx_StructFormat_s*> formats_;
    vnx_SerializationModule_Output_s start_;
    vnx_SerializationModule_Format_s end_;
};

} // namespace vnx
