#pragma once

// Writer of DSF capture logs: text files of channel definitions, file and
// channel properties, sample lines and events, one line per call. Channels are
// numbered from 1 in each file. Writing to a closed writer does nothing, so a
// capture whose file could not be opened never disturbs the device.

#include <cstddef>
#include <memory>

namespace vnx {

class DsfWriterImpl;

class DsfWriter
{
  public:
    /// What a channel or column holds; each prints a name and its dimensions.
    /// Any other value prints as unknown.
    enum ColumnType_e : int
    {
        ACTIVITY = 0,
        AAR_S = 1,
        AAR_P = 2,
        ANG_POS_GLOBAL = 3,
        ANG_POS_GEOMAG = 4,
        ANG_POS_GAME = 5,
        ANG_POS_ACCURACY = 6,
        ANG_VEL = 7,
        BUTTON_STATE = 8,
        DELTA_WHEEL = 9,
        CURSOR_OFFSCREEN_DISTANCE = 10,
        CURSOR_POS = 11,
        CURSOR_VEL = 12,
        EULER = 13,
        GRAVITY = 14,
        LIN_ACC = 15,
        LIN_ACC_GRAVITY = 16,
        MAG = 17,
        POINTER_STATE = 18,
        TEMPERATURE = 19,
        TICK_FUSION = 20,
        TICK_INPUT = 21,
        MAG_ACCURACY = 22,
        PRESSURE = 23,
        STAIR_STATUS = 24,
        STEP_ON_STAIR = 25,
        TAP_DETECTED = 26,
        STEP_DETECTED = 27,
        STEP_COUNTER = 28,
        STABILITY = 29,
        PICKUP = 30,
        FLIP = 31,
        TILT = 32,
        SHAKE = 33,
        CIRCLE = 34,
        SIGNIFICANT_MOTION = 35,
        POCKET = 36,
        SLEEP = 37,
        SAMPLE_ID = 38,
        TIME = 39,
        STATUS = 40,
    };

    /// Unit printed in braces after a channel or column.
    enum Units_e : int
    {
        UNIT_M_PER_S2 = 0, ///< "m/s^2"
        UNIT_ADC = 1,
        UNIT_DEG = 2,
        UNIT_RAD = 3,
        UNIT_RAD_PER_S = 4,
        UNIT_MICROTESLA = 5, ///< "uT"
        UNIT_MICKEYS = 6,
        UNIT_PX = 7,
        UNIT_QUATERNION = 8,
        UNIT_SAMPLES = 9,
        UNIT_S = 10,
        UNIT_STATE = 11,
        UNIT_DEGC = 12,
        UNIT_INTEGER = 13,
        UNIT_PERCENT = 14,
        UNIT_HPA = 15,
        UNIT_NONE = 16, ///< the empty unit
    };

    DsfWriter();
    ~DsfWriter();
    DsfWriter(const DsfWriter&) = delete;
    DsfWriter& operator=(const DsfWriter&) = delete;

    /// Opens `path` for writing, creating or truncating it; "stdout" writes
    /// to standard output. A non-zero `bufferSize` gives the file a buffer of
    /// that many bytes. 0, -1 when already open, -2 when the file cannot be
    /// opened. Channel numbering restarts.
    int open(const char* path, size_t bufferSize);
    /// As `open`, but only a file that does not exist yet is made (a link in
    /// its place counts as existing): -3 when the name is taken.
    int openNew(const char* path, size_t bufferSize);
    /// Flushes and closes the file; standard output is flushed and left open.
    void close();
    bool isOpen() const;

    /// Defines the next channel: "+N TIME{s},SAMPLE_ID{samples},NAME[dims]{unit}"
    /// (without the SAMPLE_ID part when `withSampleId` is false). The number.
    int addChannel(ColumnType_e type, Units_e unit, bool withSampleId);
    /// Starts a multi-column definition "+N " with the next channel number,
    /// stored in `channel`; -1 and nothing written while one is in progress.
    DsfWriter& addMultiColumnChannel(int* channel);
    /// Adds a column to the definition in progress; `column` gets its 1-based
    /// position, or -1 when no definition is in progress.
    DsfWriter& addColumn(ColumnType_e type, Units_e unit, int* column);
    /// Ends the definition in progress (nothing when none is).
    void addMultiColumnChannelEnd();

    // File properties: `! name="text"`, `! name=real`, `! name=integer`,
    // `! name="01,ab,00"`. Texts are escaped (at most 256 characters are
    // taken); byte lists always print the first byte.
    void setProperty(const char* name, const char* text);
    void setProperty(const char* name, double value);
    void setProperty(const char* name, int value);
    void setProperty(const char* name, const unsigned char* bytes, unsigned long count);
    // Channel properties "!N ..."; a negative channel writes nothing.
    void setChannelProperty(int channel, const char* name, const char* text);
    void setChannelProperty(int channel, const char* name, double value);
    void setChannelProperty(int channel, const char* name, const unsigned char* bytes, unsigned long count);

    // Sample lines ".N time, [sampleId,]values"; the sample id follows the
    // time when `withSampleId` is set.
    void reportChannel(int channel, double time, int a, int b, int c, bool withSampleId, int sampleId);
    void reportChannel(int channel, double time, double a, double b, double c, bool withSampleId,
                       int sampleId);
    void reportChannel(int channel, double time, int value, bool withSampleId, int sampleId);
    void reportChannel(int channel, double time, double value, bool withSampleId, int sampleId);

    /// Event "$N time, name(a, b)" ("$ time, ..." on channel 0).
    void reportEvent(int channel, double time, const char* name, double a, double b);
    /// Event whose argument is a byte list: "$N time, name("01,ab")".
    void reportEvent(int channel, double time, const char* name, const unsigned char* bytes,
                     unsigned long count);

    /// Starts a multi-column sample line ".N ".
    void reportMultiColumnBegin(int channel);
    // One column each, separated by ", "; nothing outside a line.
    void nextColumn(double value);
    void nextColumn(unsigned value);
    void nextColumn(int value);
    void nextColumn(int a, int b);
    void nextColumn(int a, int b, int c);
    void nextColumn(double a, double b, double c);
    void nextColumn(double a, double b, double c, double d);
    /// Ends the sample line.
    void reportMultiColumnEnd();

    /// Comment line "# text".
    void addComment(const char* text);

  private:
    std::unique_ptr<DsfWriterImpl> impl_;
};

/// Escapes at most `count` characters of `source` (stopping at its NUL) into
/// `destination` and terminates it: BEL, BS, TAB, LF, VT, FF and CR become
/// \a \b \t \n \v \f \r, a double quote \" and a backslash \\. The
/// destination must hold 2 * count + 1 characters.
void expand_escapes(const char* source, char* destination, unsigned long count);

} // namespace vnx
