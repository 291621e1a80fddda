#include "settings/config_document.h"

#include <windows.h>

#include <cstdlib>

#include "base/program_paths.h"
#include "base/xml_document.h"
#include "settings/path_macros.h"

namespace {

std::string& ConfigPathOverride() {
    static std::string path;
    return path;
}

std::vector<std::string> Steps(std::string_view elementPath) {
    std::vector<std::string> steps;
    size_t start = 0;
    while (start <= elementPath.size()) {
        size_t slash = elementPath.find('/', start);
        if (slash == std::string_view::npos) slash = elementPath.size();
        if (slash > start) steps.emplace_back(elementPath.substr(start, slash - start));
        start = slash + 1;
    }
    return steps;
}

std::string NodeName(IXMLDOMNode* node) {
    UniqueBstr name;
    if (FAILED(node->get_nodeName(name.Put()))) return {};
    return name.ToAnsi();
}

bool IsElement(IXMLDOMNode* node) {
    DOMNodeType type = NODE_INVALID;
    return SUCCEEDED(node->get_nodeType(&type)) && type == NODE_ELEMENT;
}

std::vector<XmlNode> ChildElements(const XmlNode& parent, const std::string& name) {
    std::vector<XmlNode> found;
    XmlNode child;
    if (FAILED(parent->get_firstChild(child.Put()))) return found;
    while (child) {
        if (IsElement(child.Get()) && NodeName(child.Get()) == name) found.push_back(child);
        XmlNode next;
        if (FAILED(child->get_nextSibling(next.Put()))) break;
        child = next;
    }
    return found;
}

// Depth first, so the matches come in document order.
void Collect(const XmlNode& node, const std::vector<std::string>& steps, size_t depth, std::vector<XmlNode>& out,
             bool firstOnly) {
    if (depth == steps.size()) {
        out.push_back(node);
        return;
    }
    for (const XmlNode& child : ChildElements(node, steps[depth])) {
        Collect(child, steps, depth + 1, out, firstOnly);
        if (firstOnly && !out.empty()) return;
    }
}

// The raw text of a text node (the text property would trim it).
std::optional<std::wstring> RawText(IXMLDOMNode* node) {
    DOMNodeType type = NODE_INVALID;
    if (FAILED(node->get_nodeType(&type)) || type != NODE_TEXT) return std::nullopt;
    UniqueVariant value;
    if (FAILED(node->get_nodeValue(value.Put())) || value.Get().vt != VT_BSTR) return std::nullopt;
    BSTR text = value.Get().bstrVal;
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

bool IsBlankText(IXMLDOMNode* node) {
    std::optional<std::wstring> text = RawText(node);
    return text && text->find_first_not_of(L" \t\r\n") == std::wstring::npos;
}

// A reference to a node as insertBefore takes it; the caller keeps the node alive.
VARIANT NodeVariant(const XmlNode& node) {
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_UNKNOWN;
    variant.punkVal = node.Get();
    return variant;
}

XmlNode PreviousSibling(const XmlNode& node) {
    XmlNode previous;
    if (FAILED(node->get_previousSibling(previous.Put()))) previous.Reset();
    return previous;
}

XmlNode LastChild(const XmlNode& node) {
    XmlNode last;
    if (FAILED(node->get_lastChild(last.Put()))) last.Reset();
    return last;
}

}  // namespace

std::string ConfigFilePath() {
    const std::string& override = ConfigPathOverride();
    return override.empty() ? ProgramFolder() + "\\config.xml" : override;
}

void SetConfigFilePath(std::string path) { ConfigPathOverride() = std::move(path); }

int ParseLeadingInt(std::string_view text) {
    std::string copy(text);
    long value = std::strtol(copy.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

bool ConfigDocument::Open() {
    path.clear();
    document = CreateXmlDocument();
    if (!document) return false;
    // Settings are data: no DTDs, no external entities, the file's own formatting kept.
    document->put_async(VARIANT_FALSE);
    document->put_validateOnParse(VARIANT_FALSE);
    document->put_resolveExternals(VARIANT_FALSE);
    document->put_preserveWhiteSpace(VARIANT_TRUE);
    std::string file = ConfigFilePath();
    UniqueBstr name(file);
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = name.Get();
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (SUCCEEDED(document->load(source, &loaded)) && loaded == VARIANT_TRUE) path = file;
    return IsLoaded();
}

XmlNode ConfigDocument::FindNode(std::string_view elementPath) const {
    std::vector<XmlNode> found;
    if (!IsLoaded()) return {};
    ComPtr<IXMLDOMNode> documentNode;
    if (FAILED(document->QueryInterface(IID_IXMLDOMNode, documentNode.PutVoid()))) return {};
    Collect(documentNode, Steps(elementPath), 0, found, true);
    return found.empty() ? XmlNode() : found.front();
}

std::vector<XmlNode> ConfigDocument::FindNodes(std::string_view elementPath) const {
    std::vector<XmlNode> found;
    if (!IsLoaded()) return found;
    ComPtr<IXMLDOMNode> documentNode;
    if (FAILED(document->QueryInterface(IID_IXMLDOMNode, documentNode.PutVoid()))) return found;
    Collect(documentNode, Steps(elementPath), 0, found, false);
    return found;
}

std::optional<std::string> ConfigDocument::GetAttribute(const XmlNode& node, std::string_view name) const {
    if (!IsLoaded() || !node) return std::nullopt;
    ComPtr<IXMLDOMElement> element;
    if (FAILED(node->QueryInterface(IID_IXMLDOMElement, element.PutVoid()))) return std::nullopt;
    UniqueBstr attribute(name);
    UniqueVariant value;
    if (element->getAttribute(attribute.Get(), value.Put()) != S_OK || value.Get().vt != VT_BSTR) return std::nullopt;
    BSTR text = value.Get().bstrVal;
    return text ? FromWide({text, SysStringLen(text)}) : std::string();
}

void ConfigDocument::SetAttribute(const XmlNode& node, std::string_view name, std::string_view value) {
    if (!IsLoaded() || !node) return;
    ComPtr<IXMLDOMElement> element;
    if (FAILED(node->QueryInterface(IID_IXMLDOMElement, element.PutVoid()))) return;
    UniqueBstr attribute(name);
    UniqueBstr text(value);
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_BSTR;
    variant.bstrVal = text.Get();
    element->setAttribute(attribute.Get(), variant);
}

void ConfigDocument::SetAttribute(const XmlNode& node, std::string_view name, int value) {
    SetAttribute(node, name, std::to_string(value));
}

void ConfigDocument::AppendItem(const XmlNode& parent, const std::map<std::string, std::string>& attributes) {
    if (!IsLoaded() || !parent) return;
    UniqueBstr tag("item");
    ComPtr<IXMLDOMElement> item;
    if (FAILED(document->createElement(tag.Get(), item.Put()))) return;
    XmlNode itemNode;
    if (FAILED(item->QueryInterface(IID_IXMLDOMNode, itemNode.PutVoid()))) return;
    for (const auto& [name, value] : attributes) SetAttribute(itemNode, name, value);  // the map is in name order

    // Keep the file readable: a new item goes before the closing tag's indentation, on a line of
    // its own, indented one step deeper than that tag. The line break goes in after the item:
    // Wine's parser merges a text node into a text node it is inserted next to.
    XmlNode last = LastChild(parent);
    if (!last || !IsBlankText(last.Get())) {
        XmlNode added;
        parent->appendChild(itemNode.Get(), added.Put());
        return;
    }
    std::wstring closing = RawText(last.Get()).value_or(L"");
    std::wstring indent = L"\n" + closing.substr(closing.find_last_of(L'\n') + 1) + L"  ";
    XmlNode added;
    if (FAILED(parent->insertBefore(itemNode.Get(), NodeVariant(last), added.Put()))) return;
    ComPtr<IXMLDOMText> space;
    UniqueBstr spaceText(FromWide(indent));
    XmlNode spaceNode, inserted;
    if (SUCCEEDED(document->createTextNode(spaceText.Get(), space.Put())) &&
        SUCCEEDED(space->QueryInterface(IID_IXMLDOMNode, spaceNode.PutVoid())))
        parent->insertBefore(spaceNode.Get(), NodeVariant(itemNode), inserted.Put());
}

void ConfigDocument::RemoveChild(const XmlNode& parent, const XmlNode& node) {
    if (!IsLoaded() || !parent || !node) return;
    // The line break and indentation that only served this item go with it.
    XmlNode previous = PreviousSibling(node);
    XmlNode removed;
    if (previous && IsBlankText(previous.Get())) {
        parent->removeChild(previous.Get(), removed.Put());
    }
    parent->removeChild(node.Get(), removed.Put());
}

bool ConfigDocument::Save() {
    if (!IsLoaded()) return false;
    std::string fresh = path + ".new";
    UniqueBstr name(fresh);
    VARIANT target;
    VariantInit(&target);
    target.vt = VT_BSTR;
    target.bstrVal = name.Get();
    if (FAILED(document->save(target))) {
        DeleteFileA(fresh.c_str());
        return false;
    }
    // A read-only config.xml is not replaced (Wine's MoveFileEx would): that page's settings are lost.
    DWORD attributes = GetFileAttributesA(path.c_str());
    bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly || !MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(fresh.c_str());
        return false;
    }
    return true;
}

bool ConfigDocument::ReadFlag(std::string_view elementPath, std::string_view attribute) const {
    std::optional<std::string> text = GetAttribute(FindNode(elementPath), attribute);
    return text && ParseLeadingInt(*text) != 0;
}

std::string ConfigDocument::ReadText(std::string_view elementPath, std::string_view attribute) const {
    return GetAttribute(FindNode(elementPath), attribute).value_or("");
}

std::vector<ListRow> ReadList(std::string_view section, bool useDefaults) {
    ConfigDocument config;
    config.Open();
    bool junk = section == "junkfiles";
    std::vector<ListRow> rows;
    std::string base = "/config/tidyhold/" + std::string(section);
    for (const XmlNode& item : config.FindNodes(base + (useDefaults ? "/default/item" : "/items/item"))) {
        ListRow row;
        row.text = config.GetAttribute(item, junk ? "file" : "folder").value_or("");
        if (junk) row.description = config.GetAttribute(item, "description").value_or("");
        row.checked = ParseLeadingInt(config.GetAttribute(item, "checked").value_or("0")) != 0;
        rows.push_back(std::move(row));
    }
    return rows;
}

void RewriteList(std::string_view section, const std::vector<ListRow>& rows) {
    ConfigDocument config;
    if (!config.Open()) return;
    bool junk = section == "junkfiles";
    std::string base = "/config/tidyhold/" + std::string(section) + "/items";
    XmlNode parent = config.FindNode(base);
    if (parent) {
        for (const XmlNode& item : config.FindNodes(base + "/item")) config.RemoveChild(parent, item);
        for (const ListRow& row : rows) {
            std::map<std::string, std::string> attributes{{"checked", row.checked ? "1" : "0"}};
            if (junk) {
                attributes["description"] = row.description;
                attributes["file"] = row.text;
            } else {
                attributes["folder"] = row.text;
            }
            config.AppendItem(parent, attributes);
        }
    }
    config.Save();
}

std::string ReadBackupDirectory() {
    ConfigDocument config;
    config.Open();
    return PathMacros::Expand(config.ReadText("/config/tidyhold/CleanOptions/Backup", "BackupDirectory"));
}
