// The rule that tells Impress's windows apart, on window facts as Debian's
// LibreOffice 7.4 shows them with either toolkit, with and without a window
// manager, next to the windows that must not pass for them.

#include "runtime/ImpressWindows.h"

#include <gtest/gtest.h>

namespace {

constexpr unsigned long kImpressClient = 0x400000;
constexpr unsigned long kOtherClient = 0x600000;

X11WindowFacts facts(unsigned long window, std::string wmClass, std::string name, bool mapped = true)
{
    X11WindowFacts facts;
    facts.window = window;
    facts.client = window & ~0x1fffffUL;
    facts.wmClass = std::move(wmClass);
    facts.name = std::move(name);
    facts.mapped = mapped;
    facts.rootGeometry = QRect(0, 0, 1920, 1080);
    return facts;
}

X11WindowFacts document(unsigned long window, bool mapped = true)
{
    return facts(window, ImpressWindows::kDocumentClass, "deck.odp - LibreOffice Impress", mapped);
}

X11WindowFacts fullScreen(X11WindowFacts window)
{
    window.fullScreen = true;
    return window;
}

X11WindowFacts overrideRedirect(X11WindowFacts window)
{
    window.overrideRedirect = true;
    return window;
}

struct ShowCase
{
    const char* what;
    X11WindowFacts window;
    bool withDocument;
    bool isShow;
};

TEST(ImpressShowRule, MarksTheShowOfEitherToolkitAndNothingElse)
{
    const ShowCase cases[] = {
        {"X11 toolkit, no window manager", overrideRedirect(facts(kImpressClient + 0x9cc, "", "Presenting: deck")),
         true, true},
        {"X11 toolkit under a window manager", fullScreen(facts(kImpressClient + 0x813, "LibreOffice 7.4", "")),
         true, true},
        {"GTK toolkit", fullScreen(facts(kImpressClient + 0x1a00, "Soffice", "Vorführung: deck")), true, true},
        {"a popup menu of the X11 toolkit", overrideRedirect(facts(kImpressClient + 0x41d, "", "")), true, false},
        {"a show window not mapped", fullScreen(facts(kImpressClient + 0x1a00, "Soffice", "", false)), true,
         false},
        {"another program's full-screen window", fullScreen(facts(kOtherClient + 0x10, "mpv", "film")), true,
         false},
        {"another program's placed window", overrideRedirect(facts(kOtherClient + 0x11, "", "tip")), true, false},
        {"Impress's own full-screen view", fullScreen(document(kImpressClient + 0x24)), true, false},
        {"a full-screen Writer view of the same program",
         fullScreen(facts(kImpressClient + 0x50, "libreoffice-writer", "letter.odt")), true, false},
        {"a dialog of the program", facts(kImpressClient + 0x77, "Soffice", "Slide Show Settings"), true, false},
        {"a full-screen window while no Impress document is open",
         fullScreen(facts(kImpressClient + 0x1a00, "Soffice", "")), false, false},
    };
    for (const ShowCase& c : cases) {
        std::vector<X11WindowFacts> documents;
        if (c.withDocument) {
            documents.push_back(document(kImpressClient + 0x24));
        }
        EXPECT_EQ(ImpressWindows::isShowWindow(c.window, documents), c.isShow) << c.what;
    }
}

TEST(ImpressShowRule, SceneHoldsTheDocumentsAndTheShow)
{
    const X11WindowFacts editing = document(kImpressClient + 0x24);
    const X11WindowFacts show = overrideRedirect(facts(kImpressClient + 0x9cc, "", "Presenting: deck"));
    const X11WindowFacts writer = facts(kImpressClient + 0x50, "libreoffice-writer", "letter.odt");
    const X11WindowFacts other = facts(kOtherClient + 0x10, "xterm", "shell");

    const ImpressWindows::Scene scene = ImpressWindows::sceneOf({other, editing, writer, show});
    ASSERT_EQ(scene.documents.size(), 1u);
    EXPECT_EQ(scene.documents[0].window, editing.window);
    ASSERT_TRUE(scene.show.has_value());
    EXPECT_EQ(scene.show->window, show.window);

    const ImpressWindows::Scene none = ImpressWindows::sceneOf({other, writer});
    EXPECT_TRUE(none.documents.empty());
    EXPECT_FALSE(none.show.has_value());
}

TEST(ImpressShowRule, ShowStartsFromTheActiveDocumentElseTheTopmostShownOne)
{
    const X11WindowFacts lower = document(kImpressClient + 0x24);
    const X11WindowFacts upper = document(kImpressClient + 0x90);
    const X11WindowFacts minimised = document(kImpressClient + 0xa0, false);
    const ImpressWindows::Scene scene = ImpressWindows::sceneOf({lower, upper, minimised});

    EXPECT_EQ(scene.documentToPlay(lower.window)->window, lower.window);
    EXPECT_EQ(scene.documentToPlay(kOtherClient + 0x10)->window, upper.window);
    EXPECT_EQ(scene.documentToPlay(0)->window, upper.window);
    EXPECT_EQ(ImpressWindows::sceneOf({minimised}).documentToPlay(0)->window, minimised.window);
    EXPECT_FALSE(ImpressWindows::sceneOf({}).documentToPlay(0).has_value());
}

TEST(ImpressShowRule, ImpressOwnsItsDocumentsShowAndDialogs)
{
    const X11WindowFacts editing = document(kImpressClient + 0x24);
    const X11WindowFacts show = fullScreen(facts(kImpressClient + 0x1a00, "Soffice", "Presenting: deck"));
    X11WindowFacts dialog = facts(kImpressClient + 0x77, "Soffice", "Slide Show Settings");
    dialog.transientFor = editing.window;
    const X11WindowFacts writer = facts(kImpressClient + 0x50, "libreoffice-writer", "letter.odt");
    const X11WindowFacts other = facts(kOtherClient + 0x10, "xterm", "shell");

    const ImpressWindows::Scene scene = ImpressWindows::sceneOf({editing, show, writer, other});
    EXPECT_TRUE(scene.owns(editing));
    EXPECT_TRUE(scene.owns(show));
    EXPECT_TRUE(scene.owns(dialog));
    EXPECT_FALSE(scene.owns(writer));
    EXPECT_FALSE(scene.owns(other));
    EXPECT_FALSE(scene.owns(X11WindowFacts{}));
}

} // namespace
