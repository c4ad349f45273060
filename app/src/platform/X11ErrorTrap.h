#pragma once

// Catches the X errors of one connection while it lives. Xlib's default
// handler ends the process on any error, and a window of another program can
// close between the moment it is looked up and the moment it is used (a
// BadWindow): code that touches foreign windows traps those errors and reads
// them as "no result". Errors of other connections go on to the handler that
// was installed before. Main thread only (the handler is process-wide).

struct _XDisplay;

class X11ErrorTrap
{
  public:
    explicit X11ErrorTrap(_XDisplay* display);
    /// Waits for the server to carry out what was sent, so that its errors
    /// land here, then puts the previous handler back.
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    /// Waits for the server to carry out every request sent so far; true
    /// when no request failed since the trap was set.
    bool sync();
    /// A request failed since the trap was set (as far as errors arrived).
    bool failed() const { return errorCode_ != 0; }
    /// The error code of the first failed request (0: none).
    unsigned char errorCode() const { return errorCode_; }

    /// For the handler the traps install: records an error of `display` in
    /// the innermost trap of that connection; false when no trap holds it.
    static bool catchError(_XDisplay* display, unsigned char errorCode);

  private:
    _XDisplay* display_;
    X11ErrorTrap* outer_;
    unsigned char errorCode_ = 0;
};
