#include "runtime/ImpressWindows.h"

namespace ImpressWindows {

namespace {

// Every LibreOffice module names the class of its document windows so
// (libreoffice-writer, libreoffice-calc, libreoffice-startcenter, ...).
constexpr char kModuleClassPrefix[] = "libreoffice-";

} // namespace

bool isDocumentWindow(const X11WindowFacts& window)
{
    return window.wmClass == kDocumentClass;
}

bool isShowWindow(const X11WindowFacts& window, const std::vector<X11WindowFacts>& documents)
{
    if (!window.mapped || window.wmClass.rfind(kModuleClassPrefix, 0) == 0) {
        return false;
    }
    bool sameClient = false;
    for (const X11WindowFacts& document : documents) {
        sameClient = sameClient || document.client == window.client;
    }
    if (!sameClient) {
        return false;
    }
    return window.fullScreen || (window.overrideRedirect && !window.name.empty());
}

Scene sceneOf(const std::vector<X11WindowFacts>& topLevels)
{
    Scene scene;
    for (const X11WindowFacts& window : topLevels) {
        if (isDocumentWindow(window)) {
            scene.documents.push_back(window);
        }
    }
    for (const X11WindowFacts& window : topLevels) {
        if (isShowWindow(window, scene.documents)) {
            scene.show = window;
        }
    }
    return scene;
}

std::optional<X11WindowFacts> Scene::documentToPlay(unsigned long active) const
{
    const X11WindowFacts* mapped = nullptr;
    for (const X11WindowFacts& document : documents) {
        if (document.window == active) {
            return document;
        }
        if (document.mapped) {
            mapped = &document;
        }
    }
    if (mapped != nullptr) {
        return *mapped;
    }
    if (documents.empty()) {
        return std::nullopt;
    }
    return documents.back();
}

bool Scene::owns(const X11WindowFacts& window) const
{
    for (const unsigned long candidate : {window.window, window.transientFor}) {
        if (candidate == 0) {
            continue;
        }
        if (show.has_value() && show->window == candidate) {
            return true;
        }
        for (const X11WindowFacts& document : documents) {
            if (document.window == candidate) {
                return true;
            }
        }
    }
    return false;
}

} // namespace ImpressWindows
