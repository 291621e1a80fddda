// The system's XML parser (the MSXML DOM document, created by its class id) and a small document
// over it: load a file, find elements by absolute element path, read and write attributes, save.
#pragma once
#include <msxml.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/com_ptr.h"

// Empty when the parser cannot be created.
ComPtr<IXMLDOMDocument> CreateXmlDocument();

using XmlNode = ComPtr<IXMLDOMNode>;

class XmlDocument {
public:
    // Loads the whole file as data, in the encoding it declares: no DTD or external entity is
    // fetched, the file's own formatting is kept. A missing, unreadable or broken file leaves the
    // document not loaded; then every read yields nothing and Save writes nothing.
    bool Load(const std::string& file);
    bool IsLoaded() const { return !path.empty(); }

    // Absolute element paths of plain child steps, "/a/b/c"; matches come in document order.
    XmlNode FindNode(std::string_view elementPath) const;
    std::vector<XmlNode> FindNodes(std::string_view elementPath) const;

    std::optional<std::string> GetAttribute(const XmlNode& node, std::string_view name) const;
    void SetAttribute(const XmlNode& node, std::string_view name, std::string_view value);
    // A new element as the parent's last child, its attributes set in ascending name order.
    void AppendElement(const XmlNode& parent, std::string_view name,
                       const std::map<std::string, std::string>& attributes);
    void RemoveChild(const XmlNode& parent, const XmlNode& node);
    // Writes the document as UTF-8 beside the file and then replaces the file whole, so an
    // interrupted save never leaves a cut-off file. Bytes that do not read back into this
    // document are never written. False when the file was left as it was.
    bool Save();

private:
    std::vector<XmlNode> Match(std::string_view elementPath, bool firstOnly) const;

    ComPtr<IXMLDOMDocument> document;
    std::string path;
};
