// hostsim --picture: the toolbar and palette as the host would show them, icons included.
#include "support/RunProcess.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

using testing_support::readBytes;
using testing_support::runProcess;

namespace {

std::filesystem::path hostsim() { return testing_support::hostsimProgram(); }

std::string base64(const std::string& bytes)
{
    static constexpr char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        const auto byte = [&](std::size_t k) { return k < n ? static_cast<unsigned char>(bytes[i + k]) : 0U; };
        const std::uint32_t group = (byte(0) << 16U) | (byte(1) << 8U) | byte(2);
        out += digits[(group >> 18U) & 0x3FU];
        out += digits[(group >> 12U) & 0x3FU];
        out += n > 1 ? digits[(group >> 6U) & 0x3FU] : '=';
        out += n > 2 ? digits[group & 0x3FU] : '=';
    }
    return out;
}

// A copy of the add-in in a folder of its own, with or without the icon folders beside it.
class Picture : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::copy_file(testing_support::addinLibrary(), library_); }

    void withIcons() const
    {
        std::filesystem::copy(testing_support::binaryDirectory() / "resources", folder() / "resources",
                              std::filesystem::copy_options::recursive);
    }

    // Runs hostsim with --picture (and the screen options given); returns the SVG, the trace in trace_.
    std::string draw(std::vector<std::string> actions, std::vector<std::string> screen = {})
    {
        const auto svg = folder() / "picture.svg";
        std::vector<std::string> arguments = {"--json", "--picture", svg.string()};
        arguments.insert(arguments.end(), screen.begin(), screen.end());
        arguments.push_back(library_.string());
        arguments.insert(arguments.end(), actions.begin(), actions.end());
        const auto result = runProcess(hostsim(), arguments);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        trace_ = result.out;
        return readBytes(svg);
    }

    [[nodiscard]] std::filesystem::path folder() const { return scratch_.path(); }
    // The href of an icon file as the picture embeds it.
    static std::string icon(const std::string& file)
    {
        const std::string type = file.ends_with(".svg") ? "image/svg+xml" : "image/png";
        return "data:" + type + ";base64," + base64(readBytes(testing_support::binaryDirectory() / "resources" / file));
    }
    // Removes the icon files of a folder beside the add-in that match an ending (".svg", say).
    void removeIcons(const std::string& iconFolder, const std::string& ending) const
    {
        for (const auto& entry : std::filesystem::directory_iterator(folder() / "resources" / iconFolder)) {
            if (entry.path().filename().string().ends_with(ending)) {
                std::filesystem::remove(entry.path());
            }
        }
    }

    testing_support::ScratchFolder scratch_{"picture"};
    std::filesystem::path library_ = scratch_.path() / testing_support::addinLibrary().filename();
    std::string trace_;
};

TEST_F(Picture, FirstStartShowsTheNewIconsInPlaceAndThePaletteDockedLeft)
{
    withIcons();
    const std::string svg = draw({"run"});
    ASSERT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0U);
    // The small icon, as SVG (the host's first choice), at 16 px on a standard screen.
    EXPECT_NE(svg.find(icon("Trelvik/LessTen/16x16.svg")), std::string::npos);
    EXPECT_NE(svg.find(icon("Eshop/LessTen/16x16.svg")), std::string::npos);
    EXPECT_EQ(svg.find(icon("Trelvik/16x16.svg") + "\""), std::string::npos);
    EXPECT_NE(svg.find(R"(width="16" height="16" data-icon="resources/Trelvik/LessTen/16x16.svg")"), std::string::npos);
    // Where the host placed them: the shop before its anchor, the guide after its own.
    std::vector<std::size_t> at;
    for (const char* id :
         {"button-openEshop", "control-UserDisplayNameCommand", "control-HelpGroupCommand", "button-runTeachPalette"}) {
        at.push_back(svg.find(id));
        ASSERT_NE(at.back(), std::string::npos) << id;
    }
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end()));
    EXPECT_NE(svg.find(">Zobrazit Trelvik</text>"), std::string::npos);
    EXPECT_NE(svg.find(">CAD/CAM eshop</text>"), std::string::npos);
    EXPECT_NE(svg.find("<title>Trelvik je pomocník pro začátečníky"), std::string::npos);
    // The palette: title, state, size and the address it would load, escaped.
    EXPECT_NE(svg.find(">Trelvik Reziravo 360</text>"), std::string::npos);
    EXPECT_NE(svg.find("teachPalete: visible, docked left"), std::string::npos);
    EXPECT_NE(svg.find("size 300 x 400"), std::string::npos);
    EXPECT_NE(svg.find("data-url=\"https://www.trelvik.cz/fusion360/learning.asp?lang=ENG&amp;lic=\""),
              std::string::npos);
    EXPECT_EQ(trace_.find("\"op\":\"note\""), std::string::npos);
}

TEST_F(Picture, TwentiethStartShowsThePlainIconsAndNoPalette)
{
    withIcons();
    testing_support::writeBytes(folder() / "TrelvikDizivoro360_Info.txt", "01.01.2026\r\n19\r\n");
    const std::string svg = draw({"run"});
    EXPECT_NE(svg.find(icon("Trelvik/16x16.svg")), std::string::npos);
    EXPECT_NE(svg.find(icon("Eshop/16x16.svg")), std::string::npos);
    EXPECT_EQ(svg.find("LessTen"), std::string::npos);
    EXPECT_EQ(svg.find("class=\"palette\""), std::string::npos);
}

TEST_F(Picture, FoldersWithoutAnIconGetTheHostsPlaceholderAndANote)
{
    const std::string svg = draw({"run"});
    std::size_t marked = 0;
    for (std::size_t at = svg.find("class=\"missing-icon\""); at != std::string::npos;
         at = svg.find("class=\"missing-icon\"", at + 1)) {
        ++marked;
    }
    EXPECT_EQ(marked, 2U);
    EXPECT_NE(svg.find(">?</text>"), std::string::npos);
    EXPECT_EQ(svg.find("data:image/"), std::string::npos);
    for (const char* folder : {"resources/Eshop/LessTen", "resources/Trelvik/LessTen"}) {
        EXPECT_NE(trace_.find(std::string(R"({"op":"note","text":"no icon the host can show in )") + folder +
                              R"(: its placeholder instead"})"),
                  std::string::npos)
            << folder;
    }
}

// The host's order: the SVG, then the PNG for the screen's scale, then the nearest other picture,
// scaled; a theme's own variant before the plain file.
TEST_F(Picture, IconIsChosenByScaleThemeAndWhatTheFolderHolds)
{
    struct Case {
        const char* name;
        std::vector<std::string> screen;
        std::vector<std::string> removed; // endings removed from Trelvik/LessTen
        std::string chosen;               // the file drawn, in Trelvik/LessTen
        int size;                         // drawn at, in the picture's pixels
        bool scaled;
    };
    for (const Case& c : {Case{"svgAtScale2", {"--scale", "2", "--theme", "dark_blue"}, {}, "16x16.svg", 32, false},
                          Case{"pngAtScale1", {}, {".svg"}, "16x16.png", 16, false},
                          Case{"pngAtScale2", {"--scale", "2"}, {".svg"}, "16x16@2x.png", 32, false},
                          Case{"largeScaledDown", {}, {".svg", "16x16.png", "16x16@2x.png"}, "32x32.png", 16, true},
                          Case{"largeAtScale2", {"--scale", "2"}, {".svg", "16x16@2x.png"}, "32x32.png", 32, true}}) {
        std::filesystem::remove_all(folder() / "resources");
        withIcons();
        for (const std::string& ending : c.removed) {
            removeIcons("Trelvik/LessTen", ending);
        }
        const std::string svg = draw({"run"}, c.screen);
        const std::string expected = "width=\"" + std::to_string(c.size) + "\" height=\"" + std::to_string(c.size) +
                                     "\" data-icon=\"resources/Trelvik/LessTen/" + c.chosen + "\" data-scaled=\"" +
                                     (c.scaled ? "true" : "false") + "\"";
        EXPECT_NE(svg.find(expected), std::string::npos) << c.name;
        EXPECT_NE(svg.find(icon("Trelvik/LessTen/" + c.chosen)), std::string::npos) << c.name;
    }
    // A theme's variant of the drawing, where the folder has one, and only in that theme.
    std::filesystem::remove_all(folder() / "resources");
    withIcons();
    std::filesystem::copy_file(folder() / "resources/Eshop/LessTen/16x16.svg",
                               folder() / "resources/Trelvik/LessTen/16x16-dark_blue.svg");
    EXPECT_NE(
        draw({"run"}, {"--theme", "dark_blue"}).find("data-icon=\"resources/Trelvik/LessTen/16x16-dark_blue.svg\""),
        std::string::npos);
    EXPECT_NE(draw({"run"}, {"--theme", "light_gray"}).find("data-icon=\"resources/Trelvik/LessTen/16x16.svg\""),
              std::string::npos);
}

TEST_F(Picture, ScreenOptionsAreChecked)
{
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--scale", "3"}, std::vector<std::string>{"--theme", "dark"}}) {
        std::vector<std::string> arguments = bad;
        arguments.push_back(library_.string());
        const auto result = runProcess(hostsim(), arguments);
        EXPECT_EQ(result.exitCode, 2) << bad.front();
    }
}

TEST_F(Picture, ClosedPaletteIsShownHiddenAndStopLeavesOnlyTheHostsControls)
{
    withIcons();
    const std::string closed = draw({"run", "close", "teachPalete"});
    EXPECT_NE(closed.find("data-visible=\"false\""), std::string::npos);
    EXPECT_NE(closed.find("teachPalete: closed (hidden), docked left"), std::string::npos);

    const std::string stopped = draw({"run", "stop"});
    EXPECT_EQ(stopped.find("button-"), std::string::npos);
    EXPECT_EQ(stopped.find("class=\"palette\""), std::string::npos);
    EXPECT_NE(stopped.find("control-UserDisplayNameCommand"), std::string::npos);
    EXPECT_NE(stopped.find("control-HelpGroupCommand"), std::string::npos);
}

TEST_F(Picture, UnwritableFileIsReported)
{
    const auto result =
        runProcess(hostsim(), {"--picture", (folder() / "no" / "such" / "p.svg").string(), library_.string(), "run"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("cannot write the picture"), std::string::npos) << result.err;
}

} // namespace
