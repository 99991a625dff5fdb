#include "Svg.h"

#include <cstdint>

namespace hostsim {

namespace {

// The length of the valid UTF-8 sequence at text[at], or 0.
std::size_t sequenceLength(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    std::uint32_t cp = 0;
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1FU;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0FU;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07U;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xC0U) != 0x80U) {
            return 0;
        }
        cp = (cp << 6U) | (next & 0x3FU);
    }
    const std::uint32_t minimum = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    const bool valid = cp >= minimum && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF) && cp != 0xFFFE && cp != 0xFFFF;
    return valid ? length : 0;
}

std::string attributeList(const Svg::Attributes& attributes)
{
    std::string text;
    for (const auto& [name, value] : attributes) {
        text.append(" ").append(name).append("=\"").append(xmlEscape(value)).append("\"");
    }
    return text;
}

} // namespace

std::string xmlEscape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const std::size_t length = sequenceLength(text, i);
        if (length == 0 || (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out.append(text.substr(i, length));
            break;
        }
        i += length;
    }
    return out;
}

std::string base64(std::string_view bytes)
{
    static constexpr char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16U;
        if (i + 1 < bytes.size()) {
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8U;
        }
        if (i + 2 < bytes.size()) {
            group |= static_cast<unsigned char>(bytes[i + 2]);
        }
        out += digits[(group >> 18U) & 0x3FU];
        out += digits[(group >> 12U) & 0x3FU];
        out += i + 1 < bytes.size() ? digits[(group >> 6U) & 0x3FU] : '=';
        out += i + 2 < bytes.size() ? digits[group & 0x3FU] : '=';
    }
    return out;
}

Svg::Svg(int width, int height) : width_(width), height_(height) {}

void Svg::element(const std::string& name, const Attributes& attributes, std::string_view text)
{
    // Appended piece by piece: GCC 12 at -O3 warns falsely about chains of + on strings.
    body_.append(2 * (open_.size() + 1), ' ').append("<").append(name).append(attributeList(attributes));
    if (text.empty()) {
        body_.append("/>\n");
    } else {
        body_.append(">").append(xmlEscape(text)).append("</").append(name).append(">\n");
    }
}

void Svg::open(const std::string& name, const Attributes& attributes, std::string_view title)
{
    body_.append(2 * (open_.size() + 1), ' ').append("<").append(name).append(attributeList(attributes)).append(">\n");
    open_.push_back(name);
    if (!title.empty()) {
        element("title", {}, title);
    }
}

void Svg::close()
{
    body_.append(2 * open_.size(), ' ').append("</").append(open_.back()).append(">\n");
    open_.pop_back();
}

std::string Svg::str() const
{
    std::string document = R"(<?xml version="1.0" encoding="UTF-8"?>)"
                           "\n";
    const std::string width = std::to_string(width_);
    const std::string height = std::to_string(height_);
    document.append(R"(<svg xmlns="http://www.w3.org/2000/svg" width=")")
        .append(width)
        .append(R"(" height=")")
        .append(height)
        .append(R"(" viewBox="0 0 )")
        .append(width)
        .append(" ")
        .append(height)
        .append(R"(" font-family="sans-serif">)")
        .append("\n");
    return document + body_ + "</svg>\n";
}

} // namespace hostsim
