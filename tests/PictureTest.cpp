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

    // Runs hostsim with --picture; returns the SVG, the trace in trace_.
    std::string draw(std::vector<std::string> actions)
    {
        const auto svg = folder() / "picture.svg";
        std::vector<std::string> arguments = {"--json", "--picture", svg.string(), library_.string()};
        arguments.insert(arguments.end(), actions.begin(), actions.end());
        const auto result = runProcess(hostsim(), arguments);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        trace_ = result.out;
        return readBytes(svg);
    }

    [[nodiscard]] std::filesystem::path folder() const { return scratch_.path(); }
    static std::string icon(const std::string& folder)
    {
        return "data:image/png;base64," +
               base64(readBytes(testing_support::binaryDirectory() / "resources" / folder / "32x32.png"));
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
    EXPECT_NE(svg.find(icon("Trelvik/LessTen")), std::string::npos);
    EXPECT_NE(svg.find(icon("Eshop/LessTen")), std::string::npos);
    EXPECT_EQ(svg.find(icon("Trelvik") + "\""), std::string::npos);
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
    EXPECT_NE(svg.find(icon("Trelvik")), std::string::npos);
    EXPECT_NE(svg.find(icon("Eshop")), std::string::npos);
    EXPECT_EQ(svg.find("LessTen"), std::string::npos);
    EXPECT_EQ(svg.find("class=\"palette\""), std::string::npos);
}

TEST_F(Picture, MissingIconsAreMarkedAndNamedInTheTrace)
{
    const std::string svg = draw({"run"});
    std::size_t marked = 0;
    for (std::size_t at = svg.find("class=\"missing-icon\""); at != std::string::npos;
         at = svg.find("class=\"missing-icon\"", at + 1)) {
        ++marked;
    }
    EXPECT_EQ(marked, 2U);
    EXPECT_EQ(svg.find("data:image/png"), std::string::npos);
    for (const char* file : {"resources/Eshop/LessTen/32x32.png", "resources/Trelvik/LessTen/32x32.png"}) {
        EXPECT_NE(trace_.find(std::string(R"({"op":"note","text":"icon not found or not a PNG: )") + file + "\"}"),
                  std::string::npos)
            << file;
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
