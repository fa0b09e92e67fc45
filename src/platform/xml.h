// XML documents on expat, with a writer. Elements keep their attributes in
// file order and the line they start on. Text is the concatenated character
// data directly inside an element (surrounding white space kept as written).
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
    int line = 0;      // the line of the file its start tag is on (0: made in memory)
    // The line of each attribute, in the order of attributes, when the start
    // tag runs over several lines; empty when all stand on its first line.
    std::vector<int> attribute_lines;

    XmlElement() = default;
    XmlElement(const XmlElement&) = delete;
    XmlElement& operator=(const XmlElement&) = delete;
    ~XmlElement();  // takes any depth of nesting apart without recursion

    XmlElement* add_child(const std::string& child_name);
    void set_attribute(const std::string& attribute, const std::string& value);  // replaces or appends
    const std::string* attribute(const std::string& attribute) const;          // nullptr when absent
    int line_of(const std::string& attribute) const;  // the line it stands on (the element's when absent)
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
    int error_line() const { return error_line_; }  // the line of that error
    // The innermost element still open where parsing stopped (a missing end
    // tag belongs to it) and the line its start tag is on; empty and 0 when
    // none was open or the document is well-formed.
    const std::string& open_element() const { return open_element_; }
    int open_line() const { return open_line_; }
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
    int error_line_ = 0;
    std::string open_element_;
    int open_line_ = 0;
};

// The text as the writer puts it in an attribute value (attribute) or between tags.
std::string xml_escaped(const std::string& text, bool attribute);

// Where the game is reading: the file of the document loaded last and the line
// of the element a reader took in hand last (its attributes read by
// read_fields, or reached by a loop over children_of). A reader that ends with
// a fatal error leaves it on what the error is about, so that the content
// check can name the file and line of every message. Line 0: the file as a
// whole (it could not be opened).
struct XmlReadingPlace {
    std::string file;  // logical path
    int line = 0;
};
const XmlReadingPlace& xml_reading_place();
void set_xml_reading_place(const std::string& file, int line);
// The element is the one in hand now.
void take_in_hand(const XmlElement& element);

// The children of an element in document order, for a reader's loop: each is
// taken in hand as the loop reaches it, and once the loop has passed the last
// one the element itself is in hand again (what a reader finds wrong after
// the loop concerns the whole element).
class XmlChildren {
public:
    class Iterator {
    public:
        Iterator(const XmlElement& parent, size_t index) : parent_(&parent), index_(index) {}
        const XmlElement& operator*() const;
        Iterator& operator++();
        bool operator!=(const Iterator& other) const { return index_ != other.index_; }

    private:
        const XmlElement* parent_;
        size_t index_;
    };
    explicit XmlChildren(const XmlElement& parent) : parent_(parent) {}
    Iterator begin() const;
    Iterator end() const { return Iterator(parent_, parent_.children.size()); }

private:
    const XmlElement& parent_;
};
inline XmlChildren children_of(const XmlElement& element) { return XmlChildren(element); }
