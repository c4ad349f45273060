#include "runtime/PVAppleScriptHelper.h"

#include "runtime/PVPresentationBackend.h"

#include <QHash>

namespace {

struct Script
{
    PVPresentationRole role;
    PVPresentationOperation operation;
};

const QHash<QString, Script>& knownScripts()
{
    using H = PVAppleScriptHelper;
    using Op = PVPresentationOperation;
    constexpr PVPresentationRole first = PVPresentationRole::Keynote;
    constexpr PVPresentationRole second = PVPresentationRole::PowerPoint;
    static const QHash<QString, Script> scripts = {
        {H::keynoteIsOpenOrNot(), {first, Op::Open}},
        {H::keynoteIsPlayingOrNot(), {first, Op::Playing}},
        {H::keynoteIsFrontmost(), {first, Op::Frontmost}},
        {H::keynotePlay(), {first, Op::Play}},
        {H::keynoteStop(), {first, Op::Stop}},
        {H::keynoteBlack(), {first, Op::Black}},
        {H::keynoteVersion(), {first, Op::Version}},
        {H::pptIsInstalledOrNot(), {second, Op::Installed}},
        {H::pptVersion(), {second, Op::Version}},
        {H::pptIsOpenOrNot(), {second, Op::Open}},
        {H::pptIsPlayingOrNot(), {second, Op::Playing}},
        {H::pptIsFrontmost(), {second, Op::Frontmost}},
        {H::pptPlay(), {second, Op::Play}},
        {H::pptStop(), {second, Op::Stop}},
        {H::pptBlack(), {second, Op::Black}},
        {H::pptPointerModeAuto(), {second, Op::AutomaticPointer}},
        {H::pptPointerModePaint(), {second, Op::Pen}},
        {H::pptWindowBounds(), {second, Op::WindowBounds}},
    };
    return scripts;
}

} // namespace

std::optional<PVScriptResult> PVAppleScriptHelper::runProcess(const QString& source,
                                                              QString* errorDescription)
{
    PVBackendAnswer answer = PVBackendAnswer::none(QStringLiteral("unsupported script"));
    const auto script = knownScripts().constFind(source);
    if (script != knownScripts().constEnd()) {
        // The copy keeps the backend alive should the call replace it.
        const std::shared_ptr<PVPresentationBackend> backend = PVPresentationBackends::backend(script->role);
        answer = backend->perform(script->operation);
    }
    if (answer.value.has_value()) {
        return PVScriptResult(std::move(*answer.value));
    }
    if (errorDescription != nullptr && !answer.error.isNull()) {
        *errorDescription = answer.error;
    }
    return std::nullopt;
}

bool PVAppleScriptHelper::booleanOf(const QString& source)
{
    const std::optional<PVScriptResult> result = runProcess(source, nullptr);
    return result.has_value() && result->booleanValue();
}

bool PVAppleScriptHelper::isKeynoteOpen()
{
    return booleanOf(keynoteIsOpenOrNot());
}

bool PVAppleScriptHelper::isKeynotePlay()
{
    return booleanOf(keynoteIsPlayingOrNot());
}

bool PVAppleScriptHelper::isKeynoteFrontmost()
{
    return booleanOf(keynoteIsFrontmost());
}

bool PVAppleScriptHelper::isPPTOpen()
{
    return booleanOf(pptIsInstalledOrNot()) && booleanOf(pptIsOpenOrNot());
}

std::optional<QString> PVAppleScriptHelper::getPPTVersion()
{
    if (!booleanOf(pptIsInstalledOrNot())) {
        return std::nullopt;
    }
    const std::optional<PVScriptResult> result = runProcess(pptVersion(), nullptr);
    return result.has_value() ? result->stringValue() : std::nullopt;
}

bool PVAppleScriptHelper::isPPTPlay()
{
    return booleanOf(pptIsPlayingOrNot());
}

bool PVAppleScriptHelper::isPPTFrontmost()
{
    return booleanOf(pptIsFrontmost());
}

QRectF PVAppleScriptHelper::pptWindowSize()
{
    QString error;
    const std::optional<PVScriptResult> result = runProcess(pptWindowBounds(), &error);
    if (!error.isNull()) {
        return QRectF(0, 0, 0, 0);
    }
    const PVScriptResult bounds = result.value_or(PVScriptResult());
    const qint64 left = bounds.int32ItemAt(1);
    const qint64 top = bounds.int32ItemAt(2);
    const qint64 right = bounds.int32ItemAt(3);
    const qint64 bottom = bounds.int32ItemAt(4);
    // 64-bit differences: bounds far apart give their true extent instead of
    // a wrapped 32-bit one.
    return QRectF(static_cast<double>(left), static_cast<double>(top), static_cast<double>(right - left),
                  static_cast<double>(bottom - top));
}
