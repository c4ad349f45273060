#include "runtime/ImpressBackend.h"

#include <QVariantList>
#include <thread>

// Xlib last: its macros (None, Bool, Status...) would clash with Qt's names.
#include <X11/keysym.h>

namespace {

// What the show's window bounds read while no show runs.
constexpr int kNoShow = -99;
constexpr std::chrono::milliseconds kStopPoll{20};

PVBackendAnswer noDisplay()
{
    return PVBackendAnswer::none(QStringLiteral("the X display cannot be opened"));
}

} // namespace

ImpressBackend::ImpressBackend(std::shared_ptr<X11InputLayer> keys, Settings settings)
    : keys_(std::move(keys)), settings_(std::move(settings)),
      desktop_(settings_.displayName.empty() ? nullptr : settings_.displayName.c_str())
{
}

std::optional<ImpressWindows::Scene> ImpressBackend::scene()
{
    if (!desktop_.available()) {
        return std::nullopt;
    }
    return ImpressWindows::sceneOf(desktop_.topLevels());
}

PVBackendAnswer ImpressBackend::installed()
{
    return PVBackendAnswer::of(!SofficeProgram::locate(settings_.places).isEmpty());
}

PVBackendAnswer ImpressBackend::version()
{
    if (version_.has_value()) {
        return *version_;
    }
    const QString program = SofficeProgram::locate(settings_.places);
    if (program.isEmpty()) {
        // Not kept: LibreOffice may be installed later.
        return PVBackendAnswer::none(QStringLiteral("LibreOffice is not installed"));
    }
    const std::optional<QString> line = SofficeProgram::versionLine(program, settings_.versionLimit);
    version_ = line.has_value() ? PVBackendAnswer::of(*line)
                                : PVBackendAnswer::none(QStringLiteral("soffice --version gave no version"));
    return *version_;
}

PVBackendAnswer ImpressBackend::open()
{
    const std::optional<ImpressWindows::Scene> windows = scene();
    return windows.has_value() ? PVBackendAnswer::of(!windows->documents.empty()) : noDisplay();
}

PVBackendAnswer ImpressBackend::playing()
{
    const std::optional<ImpressWindows::Scene> windows = scene();
    return windows.has_value() ? PVBackendAnswer::of(windows->show.has_value()) : noDisplay();
}

PVBackendAnswer ImpressBackend::frontmost()
{
    const std::optional<ImpressWindows::Scene> windows = scene();
    if (!windows.has_value()) {
        return noDisplay();
    }
    const std::optional<X11WindowFacts> active = desktop_.factsOf(desktop_.activeTopLevel());
    return PVBackendAnswer::of(active.has_value() && windows->owns(*active));
}

PVBackendAnswer ImpressBackend::windowBounds()
{
    const std::optional<ImpressWindows::Scene> windows = scene();
    if (!windows.has_value()) {
        return noDisplay();
    }
    if (!windows->show.has_value()) {
        return PVBackendAnswer::of(QVariantList{kNoShow, kNoShow, kNoShow, kNoShow});
    }
    const QRect bounds = windows->show->rootGeometry;
    // Right and bottom as the edges past the window, like the program's
    // scripts give them: right - left is the width.
    return PVBackendAnswer::of(
        QVariantList{bounds.left(), bounds.top(), bounds.left() + bounds.width(), bounds.top() + bounds.height()});
}

PVBackendAnswer ImpressBackend::activateAndType(unsigned long window, unsigned long keysym,
                                                std::chrono::milliseconds pause)
{
    if (!keys_ || !keys_->available()) {
        return PVBackendAnswer::none(QStringLiteral("keys cannot be typed without an X11 input layer"));
    }
    if (!desktop_.activate(window, kActivationLimit)) {
        return PVBackendAnswer::none(QStringLiteral("Impress did not take the focus"));
    }
    if (pause.count() > 0) {
        std::this_thread::sleep_for(pause);
    }
    if (!keys_->typeKey(keysym)) {
        return PVBackendAnswer::none(QStringLiteral("no key of the keymap types it"));
    }
    return PVBackendAnswer::done();
}

PVBackendAnswer ImpressBackend::play()
{
    const std::optional<ImpressWindows::Scene> windows = scene();
    if (!windows.has_value()) {
        return noDisplay();
    }
    // A second F5 would start the running show over from its first slide.
    if (windows->show.has_value()) {
        return PVBackendAnswer::done();
    }
    const std::optional<X11WindowFacts> document = windows->documentToPlay(desktop_.activeTopLevel());
    if (!document.has_value()) {
        return PVBackendAnswer::done();
    }
    return activateAndType(document->window, XK_F5);
}

PVBackendAnswer ImpressBackend::stop()
{
    const std::optional<ImpressWindows::Scene> windows = scene();
    if (!windows.has_value()) {
        return noDisplay();
    }
    if (!windows->show.has_value()) {
        return PVBackendAnswer::done();
    }
    const unsigned long show = windows->show->window;
    PVBackendAnswer answer = activateAndType(show, XK_Escape);
    if (!answer.value.has_value()) {
        return answer;
    }
    // A blanked or paused show takes the first key to come back: the show
    // window still standing after a moment gets a second Escape.
    const auto deadline = std::chrono::steady_clock::now() + kStopWait;
    while (std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kStopPoll);
        const std::optional<X11WindowFacts> facts = desktop_.factsOf(show);
        if (!facts.has_value() || !facts->mapped) {
            return answer;
        }
    }
    return activateAndType(show, XK_Escape);
}

PVBackendAnswer ImpressBackend::black()
{
    const std::optional<ImpressWindows::Scene> windows = scene();
    if (!windows.has_value()) {
        return noDisplay();
    }
    if (!windows->show.has_value()) {
        return PVBackendAnswer::done();
    }
    return activateAndType(windows->show->window, XK_b, kBlackDelay);
}

PVBackendAnswer ImpressBackend::pen()
{
    return PVBackendAnswer::none(QStringLiteral("Impress has no key for the pen"));
}

PVBackendAnswer ImpressBackend::automaticPointer()
{
    return PVBackendAnswer::none(QStringLiteral("Impress has no key for the automatic pointer"));
}
