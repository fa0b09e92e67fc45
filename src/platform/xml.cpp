#include "platform/xml.h"

#include <expat.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/files.h"

XmlElement::~XmlElement() {
    std::vector<std::unique_ptr<XmlElement>> pending = std::move(children);
    while (!pending.empty()) {
        std::unique_ptr<XmlElement> element = std::move(pending.back());
        pending.pop_back();
        for (auto& child : element->children) pending.push_back(std::move(child));
        element->children.clear();
    }
}

XmlElement* XmlElement::add_child(const std::string& child_name) {
    children.push_back(std::make_unique<XmlElement>());
    XmlElement* child = children.back().get();
    child->name = child_name;
    child->parent = this;
    child->place = children.size() - 1;
    return child;
}

void XmlElement::set_attribute(const std::string& attribute_name, const std::string& value) {
    for (auto& [name_, value_] : attributes) {
        if (name_ == attribute_name) {
            value_ = value;
            return;
        }
    }
    attributes.emplace_back(attribute_name, value);
}

const std::string* XmlElement::attribute(const std::string& attribute_name) const {
    for (const auto& [name_, value_] : attributes)
        if (name_ == attribute_name) return &value_;
    return nullptr;
}

int XmlElement::line_of(const std::string& attribute_name) const {
    for (size_t i = 0; i < attributes.size() && i < attribute_lines.size(); ++i)
        if (attributes[i].first == attribute_name) return attribute_lines[i];
    return line;
}

XmlElement* XmlElement::next_sibling() const {
    if (!parent) return nullptr;
    auto& siblings = parent->children;
    // The element knows its place; the search is left for a child list rearranged since.
    if (place < siblings.size() && siblings[place].get() == this)
        return place + 1 < siblings.size() ? siblings[place + 1].get() : nullptr;
    auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& p) { return p.get() == this; });
    if (it == siblings.end() || ++it == siblings.end()) return nullptr;
    return it->get();
}

namespace {

struct ParseState {
    XML_Parser parser = nullptr;
    const std::string* text = nullptr;  // the whole input, to find the lines of attributes
    std::unique_ptr<XmlElement> root;
    XmlElement* current = nullptr;
};

void XMLCALL on_start(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto* state = static_cast<ParseState*>(data);
    XmlElement* element;
    if (!state->current) {
        state->root = std::make_unique<XmlElement>();
        element = state->root.get();
        element->name = name;
    } else {
        element = state->current->add_child(name);
    }
    element->line = static_cast<int>(XML_GetCurrentLineNumber(state->parser));
    for (int i = 0; attributes[i]; i += 2) element->attributes.emplace_back(attributes[i], attributes[i + 1]);
    // A start tag over several lines: the line of each attribute, found by its
    // name and "=" in the tag as written (names stand in file order).
    const XML_Index start = XML_GetCurrentByteIndex(state->parser);
    const int length = XML_GetCurrentByteCount(state->parser);
    if (state->text && start >= 0 && length > 0 && static_cast<size_t>(start) + length <= state->text->size() &&
        std::memchr(state->text->data() + start, '\n', static_cast<size_t>(length))) {
        const std::string_view tag(state->text->data() + start, static_cast<size_t>(length));
        size_t from = 0;
        int line = element->line;
        for (const auto& [attribute_name, value] : element->attributes) {
            size_t at = from;
            while ((at = tag.find(attribute_name, at)) != std::string_view::npos) {
                size_t after = at + attribute_name.size();
                while (after < tag.size() && (tag[after] == ' ' || tag[after] == '\t' || tag[after] == '\n' ||
                                              tag[after] == '\r'))
                    ++after;
                const bool before_blank = at > 0 && (tag[at - 1] == ' ' || tag[at - 1] == '\t' ||
                                                     tag[at - 1] == '\n' || tag[at - 1] == '\r');
                if (before_blank && after < tag.size() && tag[after] == '=') break;
                at += attribute_name.size();
            }
            if (at == std::string_view::npos) break;  // written with an entity or another encoding: leave it
            line += static_cast<int>(std::count(tag.begin() + static_cast<long>(from), tag.begin() + static_cast<long>(at), '\n'));
            element->attribute_lines.push_back(line);
            // Past the value: its quotes hold no name to be found.
            const size_t quote = tag.find_first_of("\"'", at);
            const size_t close = quote == std::string_view::npos ? std::string_view::npos : tag.find(tag[quote], quote + 1);
            from = close == std::string_view::npos ? tag.size() : close + 1;
            line += static_cast<int>(std::count(tag.begin() + static_cast<long>(at), tag.begin() + static_cast<long>(from), '\n'));
        }
        if (element->attribute_lines.size() != element->attributes.size()) element->attribute_lines.clear();
    }
    state->current = element;
}

void XMLCALL on_end(void* data, const XML_Char*) {
    auto* state = static_cast<ParseState*>(data);
    if (state->current) state->current = state->current->parent;
}

void XMLCALL on_text(void* data, const XML_Char* text, int length) {
    auto* state = static_cast<ParseState*>(data);
    if (state->current) state->current->text.append(text, static_cast<size_t>(length));
}

}  // namespace

// In attribute values the parser turns a raw tab or line break into a blank
// and in text a carriage return into a line feed, so those are written as
// character references to come back unchanged.
std::string xml_escaped(const std::string& text, bool attribute) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\r': out += "&#13;"; break;
            case '\n': out += attribute ? "&#10;" : "\n"; break;
            case '\t': out += attribute ? "&#9;" : "\t"; break;
            default: out += c;
        }
    }
    return out;
}

namespace {

bool only_white_space(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
}

void write_element(const XmlElement& element, int depth, std::string& out) {
    out.append(static_cast<size_t>(depth) * 2, ' ');
    out += "<" + element.name;
    for (const auto& [name, value] : element.attributes) out += " " + name + "=\"" + xml_escaped(value, true) + "\"";
    bool has_text = !element.text.empty() && !(only_white_space(element.text) && !element.children.empty());
    if (element.children.empty() && !has_text) {
        out += "/>\n";
        return;
    }
    out += ">";
    if (has_text) out += xml_escaped(element.text, false);
    if (!element.children.empty()) {
        out += "\n";
        for (const auto& child : element.children) write_element(*child, depth + 1, out);
        out.append(static_cast<size_t>(depth) * 2, ' ');
    }
    out += "</" + element.name + ">\n";
}

}  // namespace

bool XmlDocument::parse_text(const std::string& text) {
    root_.reset();
    status_ = 0;
    error_.clear();
    error_line_ = 0;
    open_element_.clear();
    open_line_ = 0;
    // No forced encoding: a file declared as ISO-8859-1 reads as such (UTF-8
    // without a declaration); every text comes out as UTF-8.
    XML_Parser parser = XML_ParserCreate(nullptr);
    if (!parser) {
        status_ = 1;
        error_ = "out of memory";
        return true;
    }
    ParseState state;
    state.parser = parser;
    state.text = &text;
    XML_SetUserData(parser, &state);
    XML_SetElementHandler(parser, on_start, on_end);
    XML_SetCharacterDataHandler(parser, on_text);
    if (XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1) == XML_STATUS_ERROR) {
        XML_Error code = XML_GetErrorCode(parser);
        status_ = static_cast<int>(code) == 0 ? 1 : static_cast<int>(code);
        error_line_ = static_cast<int>(XML_GetCurrentLineNumber(parser));
        error_ = std::string(XML_ErrorString(code)) + " at line " + std::to_string(error_line_);
        if (state.current) {
            open_element_ = state.current->name;
            open_line_ = state.current->line;
        }
        state.root.reset();
    }
    XML_ParserFree(parser);
    root_ = std::move(state.root);
    return true;
}

bool XmlDocument::load(const std::string& logical_path) {
    set_xml_reading_place(logical_path, 0);
    std::string content;
    if (!read_whole_file(logical_path, content)) {
        root_.reset();
        return false;
    }
    parse_text(content);
    set_xml_reading_place(logical_path, status_ != 0 ? error_line_ : root_ ? root_->line : 0);
    return true;
}

namespace {
XmlReadingPlace g_reading_place;
}

const XmlReadingPlace& xml_reading_place() { return g_reading_place; }

void set_xml_reading_place(const std::string& file, int line) {
    g_reading_place.file = file;
    g_reading_place.line = line;
}

void take_in_hand(const XmlElement& element) { g_reading_place.line = element.line; }

const XmlElement& XmlChildren::Iterator::operator*() const {
    const XmlElement& child = *parent_->children[index_];
    take_in_hand(child);
    return child;
}

XmlChildren::Iterator& XmlChildren::Iterator::operator++() {
    if (++index_ == parent_->children.size()) take_in_hand(*parent_);
    return *this;
}

XmlChildren::Iterator XmlChildren::begin() const { return Iterator(parent_, 0); }

XmlElement* XmlDocument::create_root(const std::string& name) {
    root_ = std::make_unique<XmlElement>();
    root_->name = name;
    status_ = 0;
    error_.clear();
    return root_.get();
}

std::string XmlDocument::to_text() const {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    if (root_) write_element(*root_, 0, out);
    return out;
}

bool XmlDocument::save(const std::string& logical_path) const {
    if (!root_) return false;
    return write_file_atomically(logical_path, to_text());
}
