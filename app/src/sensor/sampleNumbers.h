#pragma once

// The sample number the engine gets for each motion packet of one device.
//
// The presenter counts its samples in 16 bits. Taken alone, the counter
// sign-extended would drop by 65,535 each time it passes 0x7FFF -> 0x8000
// (every 65,536 samples, about 8.7 minutes at 125 Hz); the engine takes the
// difference of successive numbers as the elapsed sample periods, and such a
// gap restarts its filters and offset learning in the middle of a
// presentation. So the number runs on in 32 bits instead: the first sample
// takes the counter sign-extended, each later one adds the counter's 16-bit
// step (modulo 65,536). Its low 16 bits always equal the counter.

#include <cstdint>

class RunningSampleNumber
{
  public:
    /// The number of the sample whose counter is `counter`.
    int32_t next(uint16_t counter)
    {
        if (!started_) {
            started_ = true;
            number_ = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(counter)));
        } else {
            number_ += static_cast<uint16_t>(counter - lastCounter_);
        }
        lastCounter_ = counter;
        return static_cast<int32_t>(number_);
    }

    /// The next sample starts a new run.
    void restart() { started_ = false; }

  private:
    bool started_ = false;
    uint16_t lastCounter_ = 0;
    uint32_t number_ = 0;
};
