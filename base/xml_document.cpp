#include "base/xml_document.h"

#include <windows.h>

#include "base/ansi.h"

namespace {
// MinGW declares the MSXML class ids in its headers; this one is defined here, once.
const CLSID kDomDocumentClass = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kDomDocumentInterface = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
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

ComPtr<IXMLDOMDocument> CreateXmlDocument() {
    ComPtr<IXMLDOMDocument> document;
    if (FAILED(CoCreateInstance(kDomDocumentClass, nullptr, CLSCTX_SERVER, kDomDocumentInterface,
                                document.PutVoid())))
        document.Reset();
    return document;
}

bool XmlDocument::Load(const std::string& file) {
    path.clear();
    document = CreateXmlDocument();
    if (!document) return false;
    document->put_async(VARIANT_FALSE);
    document->put_validateOnParse(VARIANT_FALSE);
    document->put_resolveExternals(VARIANT_FALSE);
    document->put_preserveWhiteSpace(VARIANT_TRUE);
    UniqueBstr name(file);
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = name.Get();
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (SUCCEEDED(document->load(source, &loaded)) && loaded == VARIANT_TRUE) path = file;
    return IsLoaded();
}

std::vector<XmlNode> XmlDocument::Match(std::string_view elementPath, bool firstOnly) const {
    std::vector<XmlNode> found;
    if (!IsLoaded()) return found;
    ComPtr<IXMLDOMNode> documentNode;
    if (FAILED(document->QueryInterface(IID_IXMLDOMNode, documentNode.PutVoid()))) return found;
    Collect(documentNode, Steps(elementPath), 0, found, firstOnly);
    return found;
}

XmlNode XmlDocument::FindNode(std::string_view elementPath) const {
    std::vector<XmlNode> found = Match(elementPath, true);
    return found.empty() ? XmlNode() : found.front();
}

std::vector<XmlNode> XmlDocument::FindNodes(std::string_view elementPath) const { return Match(elementPath, false); }

std::optional<std::string> XmlDocument::GetAttribute(const XmlNode& node, std::string_view name) const {
    if (!IsLoaded() || !node) return std::nullopt;
    ComPtr<IXMLDOMElement> element;
    if (FAILED(node->QueryInterface(IID_IXMLDOMElement, element.PutVoid()))) return std::nullopt;
    UniqueBstr attribute(name);
    UniqueVariant value;
    if (element->getAttribute(attribute.Get(), value.Put()) != S_OK || value.Get().vt != VT_BSTR) return std::nullopt;
    BSTR text = value.Get().bstrVal;
    return text ? FromWide({text, SysStringLen(text)}) : std::string();
}

void XmlDocument::SetAttribute(const XmlNode& node, std::string_view name, std::string_view value) {
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

void XmlDocument::AppendElement(const XmlNode& parent, std::string_view name,
                                const std::map<std::string, std::string>& attributes) {
    if (!IsLoaded() || !parent) return;
    UniqueBstr tag(name);
    ComPtr<IXMLDOMElement> element;
    if (FAILED(document->createElement(tag.Get(), element.Put()))) return;
    XmlNode elementNode;
    if (FAILED(element->QueryInterface(IID_IXMLDOMNode, elementNode.PutVoid()))) return;
    for (const auto& [attribute, value] : attributes) SetAttribute(elementNode, attribute, value);  // in name order

    // Keep the file readable: a new element goes before the closing tag's indentation, on a line of
    // its own, indented one step deeper than that tag. The line break goes in after the element:
    // Wine's parser merges a text node into a text node it is inserted next to.
    XmlNode last = LastChild(parent);
    if (!last || !IsBlankText(last.Get())) {
        XmlNode added;
        parent->appendChild(elementNode.Get(), added.Put());
        return;
    }
    std::wstring closing = RawText(last.Get()).value_or(L"");
    std::wstring indent = L"\n" + closing.substr(closing.find_last_of(L'\n') + 1) + L"  ";
    XmlNode added;
    if (FAILED(parent->insertBefore(elementNode.Get(), NodeVariant(last), added.Put()))) return;
    ComPtr<IXMLDOMText> space;
    UniqueBstr spaceText(FromWide(indent));
    XmlNode spaceNode, inserted;
    if (SUCCEEDED(document->createTextNode(spaceText.Get(), space.Put())) &&
        SUCCEEDED(space->QueryInterface(IID_IXMLDOMNode, spaceNode.PutVoid())))
        parent->insertBefore(spaceNode.Get(), NodeVariant(elementNode), inserted.Put());
}

void XmlDocument::RemoveChild(const XmlNode& parent, const XmlNode& node) {
    if (!IsLoaded() || !parent || !node) return;
    // The line break and indentation that only served this node go with it.
    XmlNode previous = PreviousSibling(node);
    XmlNode removed;
    if (previous && IsBlankText(previous.Get())) {
        parent->removeChild(previous.Get(), removed.Put());
    }
    parent->removeChild(node.Get(), removed.Put());
}

bool XmlDocument::Save() {
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
    // A read-only file is not replaced (Wine's MoveFileEx would): the change is lost.
    DWORD attributes = GetFileAttributesA(path.c_str());
    bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly || !MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(fresh.c_str());
        return false;
    }
    return true;
}

