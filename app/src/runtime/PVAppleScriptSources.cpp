#include "runtime/PVAppleScriptHelper.h"

// The scripts as the presentation programs know them, byte for byte: lines
// joined by a line feed, a line feed first and a line feed with four spaces
// last, apart from the two marked otherwise. The runner recognises a script
// by its exact text.

const QString& PVAppleScriptHelper::keynoteIsOpenOrNot()
{
    static const QString source =
        QStringLiteral("\n"
                       "    set appID to \"com.apple.iWork.Keynote\" \n"
                       "    -- check if the application exists \n"
                       "    set doesExist to false \n"
                       "    try \n"
                       "        tell application \"Finder\" to get application file id appID \n"
                       "        set doesExist to true \n"
                       "    end try \n"
                       "    \n"
                       "    if doesExist is false then return false \n"
                       "    \n"
                       "    -- check if the application is running and has a document \n"
                       "    if running of application id appID is true then \n"
                       "        tell application id appID to return (exists document 1) \n"
                       "    else \n"
                       "        return false \n"
                       "    end if \n"
                       "    ");
    return source;
}

const QString& PVAppleScriptHelper::keynoteIsPlayingOrNot()
{
    static const QString source = QStringLiteral("\n"
                                                 "    if running of application \"Keynote\" is true then \n"
                                                 "        tell application \"Keynote\" to return playing\n"
                                                 "    else \n"
                                                 "        return false \n"
                                                 "    end if \n"
                                                 "    ");
    return source;
}

const QString& PVAppleScriptHelper::keynoteIsFrontmost()
{
    static const QString source =
        QStringLiteral("\n"
                       "    tell application \"System Events\" \n"
                       "        set frontmostProcess to first process where it is frontmost \n"
                       "    return name of frontmostProcess is \"Keynote\" \n"
                       "    end tell \n"
                       "    ");
    return source;
}

const QString& PVAppleScriptHelper::keynotePlay()
{
    // Ends with its last line.
    static const QString source =
        QStringLiteral("\n"
                       "    if running of application \"Keynote\" is true then \n"
                       "        tell application \"Keynote\" \n"
                       "            activate \n"
                       "            try \n"
                       "                if playing is false then start the front document \n"
                       "            end try \n"
                       "        end tell \n"
                       "    end if");
    return source;
}

const QString& PVAppleScriptHelper::keynoteStop()
{
    static const QString source =
        QStringLiteral("\n"
                       "    -- IF KEYNOTE IS ACTIVE AND PLAYING THEN STOP IT \n"
                       "    if running of application \"Keynote\" is true then \n"
                       "        tell application \"Keynote\" \n"
                       "            if playing is true then stop the front document \n"
                       "        end tell \n"
                       "    end if \n"
                       "    ");
    return source;
}

const QString& PVAppleScriptHelper::keynoteBlack()
{
    static const QString source = QStringLiteral(
        "\n"
        "    -- IF KEYNOTE IS ACTIVE AND PLAYING THEN SHOW BLANK SLIDE IT, JUST PRESS KEYBOARD `b' \n"
        "    if running of application \"Keynote\" is true then \n"
        "        tell application \"Keynote\" \n"
        "            if playing of application \"Keynote\" is true then \n"
        "                tell application \"System Events\" \n"
        "                    tell process \"Keynote\" to keystroke \"b\" \n"
        "                end tell \n"
        "            end if \n"
        "        end tell \n"
        "    end if \n"
        "    ");
    return source;
}

const QString& PVAppleScriptHelper::pptIsInstalledOrNot()
{
    static const QString source =
        QStringLiteral("\n"
                       "    set appID to \"com.microsoft.Powerpoint\" \n"
                       "    -- check if the application exists \n"
                       "    set doesExist to false \n"
                       "    try \n"
                       "        tell application \"Finder\" to get application file id appID \n"
                       "        set doesExist to true \n"
                       "    end try \n"
                       "    \n"
                       "    return doesExist \n"
                       "    ");
    return source;
}

const QString& PVAppleScriptHelper::pptVersion()
{
    static const QString source = QStringLiteral("\n"
                                                 "    tell application \"Microsoft PowerPoint\" \n"
                                                 "        set ver to version \n"
                                                 "    end tell \n"
                                                 "    return ver \n"
                                                 "    ");
    return source;
}

const QString& PVAppleScriptHelper::pptIsOpenOrNot()
{
    static const QString source = QStringLiteral(
        "\n"
        "    -- check if the application is running \n"
        "    if running of application \"Microsoft PowerPoint\" is true then \n"
        "        tell application \"Microsoft PowerPoint\" to return (exists document window 1) \n"
        "    else \n"
        "        return false \n"
        "    end if \n"
        "    ");
    return source;
}

const QString& PVAppleScriptHelper::pptIsPlayingOrNot()
{
    static const QString source =
        QStringLiteral("\n"
                       "    if running of application \"Microsoft PowerPoint\" is true then \n"
                       "        tell application \"Microsoft PowerPoint\" \n"
                       "            set slideState to slide state of slide show view of slide show window of "
                       "active presentation \n"
                       "            set isPlaying to slideState is slide show state running or slideState is "
                       "slide show state black screen or slideState is slide show state white screen or "
                       "slideState is slide show state paused \n"
                       "            return isPlaying \n"
                       "        end tell \n"
                       "    else \n"
                       "        return false \n"
                       "    end if \n"
                       "    ");
    return source;
}

const QString& PVAppleScriptHelper::pptIsFrontmost()
{
    static const QString source =
        QStringLiteral("\n"
                       "    tell application \"System Events\" \n"
                       "        set frontmostProcess to first process where it is frontmost \n"
                       "        return name of frontmostProcess is \"Microsoft PowerPoint\" \n"
                       "    end tell \n"
                       "    ");
    return source;
}

const QString& PVAppleScriptHelper::pptPlay()
{
    static const QString source = QStringLiteral(
        "\n"
        "    if running of application \"Microsoft PowerPoint\" is true then \n"
        "        tell application \"Microsoft PowerPoint\" \n"
        "            activate \n"
        "            tell application \"System Events\" \n"
        "                tell process \"Microsoft PowerPoint\" to keystroke return using {command down} \n"
        "            end tell \n"
        "        end tell \n"
        "    end if \n"
        "    ");
    return source;
}

const QString& PVAppleScriptHelper::pptStop()
{
    static const QString source = QStringLiteral(
        "\n"
        "    -- IF POWER POINT IS ACTIVE AND PLAYING THEN STOP IT \n"
        "    if running of application \"Microsoft PowerPoint\" is true then \n"
        "        tell application \"Microsoft PowerPoint\" \n"
        "            set slideState to slide state of slide show view of slide show window of active "
        "presentation \n"
        "            set isPlaying to slideState is slide show state running or slideState is slide show "
        "state black screen or slideState is slide show state white screen \n"
        "            if isPlaying then \n"
        "                exit slide show slide show view of slide show window of active presentation \n"
        "            end if \n"
        "            set isPaused to slideState is slide show state paused \n"
        "            if isPaused then \n"
        "                activate \n"
        "                \n"
        "                -- wait for it to be ready after activate \n"
        "                delay 0.5 \n"
        "                exit slide show slide show view of slide show window of active presentation \n"
        "            end if \n"
        "        end tell \n"
        "    end if \n"
        "    ");
    return source;
}

const QString& PVAppleScriptHelper::pptBlack()
{
    static const QString source = QStringLiteral(
        "\n"
        "    if running of application \"Microsoft PowerPoint\" is true then \n"
        "        tell application \"Microsoft PowerPoint\" \n"
        "            set slideState to slide state of slide show view of slide show window of active "
        "presentation \n"
        "            set isPlaying to slideState is slide show state running or slideState is slide show "
        "state black screen or slideState is slide show state white screen or slideState is slide show state "
        "paused \n"
        "            if isPlaying then \n"
        "                activate \n"
        "                delay 0.1 \n"
        "                \n"
        "                tell application \"System Events\" to tell process \"Microsoft PowerPoint\" \n"
        "                    keystroke \"b\" \n"
        "                end tell \n"
        "            else \n"
        "            \n"
        "            end if \n"
        "        end tell \n"
        "    end if \n"
        "    ");
    return source;
}

const QString& PVAppleScriptHelper::pptPointerModeAuto()
{
    static const QString source = QStringLiteral("\n"
                                                 "    -- IF POWER POINT IS ACTIVE AND PLAYING THEN SHOW/HIDE "
                                                 "A BLANK SLIDE IT, JUST PRESS KEYBOARD `u' \n"
                                                 "    tell application \"System Events\" \n"
                                                 "        tell process \"Microsoft PowerPoint\" \n"
                                                 "            keystroke \"u\" using {command down} \n"
                                                 "        end tell \n"
                                                 "    end tell \n"
                                                 "    ");
    return source;
}

const QString& PVAppleScriptHelper::pptPointerModePaint()
{
    static const QString source = QStringLiteral("\n"
                                                 "    tell application \"System Events\" \n"
                                                 "        tell process \"Microsoft PowerPoint\" \n"
                                                 "            keystroke \"p\" using {command down} \n"
                                                 "        end tell \n"
                                                 "    end tell \n"
                                                 "    ");
    return source;
}

const QString& PVAppleScriptHelper::pptWindowBounds()
{
    // Starts with its first line.
    static const QString source = QStringLiteral(
        "set windowBounds to {0, 0, 0, 0} \n"
        "    tell application \"Microsoft PowerPoint\" \n"
        "    if slide state of slide show view of slide show window of active presentation is slide show "
        "state running then \n"
        "    --  currently in running slide show mode (for production) \n"
        "    \n"
        "    --set slideshowView to (slide show view of slide show window of active presentation) \n"
        "    set slideshowView to (run slide show slide show settings of active presentation) \n"
        "    \n"
        "    --set pos to position of slideshowView \n"
        "    set windowBounds to bounds of slideshowView \n"
        "    --set item 1 of sswPosition to item 1 of wh \n"
        "    --set item 2 of sswPosition to item 2 of wh \n"
        "    --set item 3 of sswPosition to item 3 of wh \n"
        "    --set item 4 of sswPosition to item 4 of wh \n"
        "    \n"
        "    else \n"
        "    --  currentlyslideshowView to 99 in editing mode (for testing) \n"
        "    set windowBounds to {-99, -99, -99, -99} \n"
        "    end if \n"
        "    return windowBounds \n"
        "    end tell \n"
        "    return windowBounds \n"
        "    ");
    return source;
}

const QString& PVAppleScriptHelper::keynoteVersion()
{
    static const QString source = QStringLiteral("return version of application \"Keynote\"");
    return source;
}
