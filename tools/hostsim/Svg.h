// A small SVG writer: elements with attributes and text, every text XML-escaped and made valid
// UTF-8, so whatever the add-in gave the host cannot break the file.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hostsim {

// Text as XML character data or an attribute value: & < > " ' escaped, invalid UTF-8 and
// characters XML forbids (controls but tab, LF, CR) shown as U+FFFD.
std::string xmlEscape(std::string_view text);

// Standard base64, for embedded images.
std::string base64(std::string_view bytes);

class Svg {
public:
    using Attributes = std::vector<std::pair<std::string, std::string>>;

    Svg(int width, int height);

    // <name attributes/> or, with content, <name attributes>content</name>; content is text.
    void element(const std::string& name, const Attributes& attributes, std::string_view text = {});
    // Opens a group; every element up to close() belongs to it. title is its tooltip.
    void open(const std::string& name, const Attributes& attributes, std::string_view title = {});
    void close();

    // The whole document.
    [[nodiscard]] std::string str() const;

private:
    std::string body_;
    std::vector<std::string> open_;
    int width_;
    int height_;
};

} // namespace hostsim
