// XML documents on expat, with a writer. Elements keep their attributes in
// file order. Text is the concatenated character data directly inside an
// element (surrounding white space kept as written).
#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct XmlElement {
    std::string name;
    std::string text;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<std::unique_ptr<XmlElement>> children;
    XmlElement* parent = nullptr;
    size_t place = 0;  // index among the parent's children, as add_child put it there

    XmlElement() = default;
    XmlElement(const XmlElement&) = delete;
    XmlElement& operator=(const XmlElement&) = delete;
    ~XmlElement();  // takes any depth of nesting apart without recursion

    XmlElement* add_child(const std::string& child_name);
    void set_attribute(const std::string& attribute, const std::string& value);  // replaces or appends
    const std::string* attribute(const std::string& attribute) const;          // nullptr when absent
    // Sibling navigation as the game walks documents.
    XmlElement* first_child() const { return children.empty() ? nullptr : children.front().get(); }
    XmlElement* next_sibling() const;
};

class XmlDocument {
public:
    // Load and parse a file (logical path). Returns false when the file cannot be
    // opened. A file that opens but does not parse returns true with status() != 0.
    bool load(const std::string& logical_path);
    bool parse_text(const std::string& text);  // the same from memory
    int status() const { return status_; }      // 0 = well-formed
    // The parser's error text: expat's message and the line, e.g.
    // "mismatched tag at line 3".
    const std::string& error_text() const { return error_; }
    XmlElement* root() const { return root_.get(); }
    XmlElement* create_root(const std::string& name);
    // UTF-8 with an XML declaration; &, <, > and " escaped; written through a
    // temporary file and a rename. False on failure.
    bool save(const std::string& logical_path) const;
    std::string to_text() const;

private:
    std::unique_ptr<XmlElement> root_;
    int status_ = 0;
    std::string error_;
};
