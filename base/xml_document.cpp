#include "base/xml_document.h"

#include <windows.h>

#include "base/ansi.h"
#include "base/program_paths.h"
#include "base/win_handles.h"

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

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
constexpr LONGLONG kLargestFile = 1LL << 30;

std::optional<std::string> ReadWholeFile(const std::string& file) {
    UniqueFile handle(CreateFileW(ExtendedPath(file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!handle || !GetFileSizeEx(handle.Get(), &size) || size.QuadPart > kLargestFile) return std::nullopt;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && (!ReadFile(handle.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                           read != bytes.size()))
        return std::nullopt;
    return bytes;
}

bool WriteWholeFile(const std::wstring& file, std::string_view bytes) {
    UniqueFile handle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) return false;
    DWORD written = 0;
    return WriteFile(handle.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && FlushFileBuffers(handle.Get());
}

// The parser takes the bytes as a file's: a byte order mark or the declaration names the encoding.
// Loading from memory also leaves no base address from which a DTD or entity could be fetched.
bool LoadBytes(IXMLDOMDocument* document, std::string_view bytes) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    if (!array) return false;
    void* data = nullptr;
    if (SUCCEEDED(SafeArrayAccessData(array, &data))) {
        std::copy(bytes.begin(), bytes.end(), static_cast<char*>(data));
        SafeArrayUnaccessData(array);
    }
    UniqueVariant source;
    VARIANT* bytesVariant = source.Put();
    bytesVariant->vt = VT_ARRAY | VT_UI1;
    bytesVariant->parray = array;  // freed with the variant
    VARIANT_BOOL loaded = VARIANT_FALSE;
    return SUCCEEDED(document->load(source.Get(), &loaded)) && loaded == VARIANT_TRUE;
}

void Configure(IXMLDOMDocument* document) {
    document->put_async(VARIANT_FALSE);
    document->put_validateOnParse(VARIANT_FALSE);
    document->put_resolveExternals(VARIANT_FALSE);
    document->put_preserveWhiteSpace(VARIANT_TRUE);
}

// The document as text without its declaration, line ends as in a file. The parser serialises
// the declaration as it was read, encoding included, and ends lines with CR LF; a CR of the
// document's own comes out as a character reference.
std::optional<std::wstring> Serialise(IXMLDOMDocument* document) {
    UniqueBstr xml;
    if (FAILED(document->get_xml(xml.Put())) || !xml.Get()) return std::nullopt;
    std::wstring_view text(xml.Get(), SysStringLen(xml.Get()));
    if (text.starts_with(L"<?xml") && text.size() > 5 && std::wstring_view(L" \t\r\n?").find(text[5]) != std::wstring_view::npos) {
        size_t end = text.find(L"?>");
        if (end == std::wstring_view::npos) return std::nullopt;
        text.remove_prefix(end + 2);
        if (text.starts_with(L"\r\n")) text.remove_prefix(2);
        else if (text.starts_with(L"\n")) text.remove_prefix(1);
    }
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')) out += text[i];
    return out;
}

std::optional<std::string> ToUtf8(std::wstring_view text) {
    if (text.empty()) return std::string();
    int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::nullopt;  // a lone surrogate: no UTF-8 says it
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    return bytes;
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
    Configure(document.Get());
    std::optional<std::string> bytes = ReadWholeFile(file);
    if (bytes && LoadBytes(document.Get(), *bytes)) path = file;
    return IsLoaded();
}

std::vector<XmlNode> XmlDocument::Match(std::string_view elementPath, bool firstOnly) const {
    std::vector<XmlNode> found;
    if (!IsLoaded()) return found;
    // From the root element, not the document node: Wine's doctype node has no next sibling to
    // give, and a walk over the document's children would stop there.
    ComPtr<IXMLDOMElement> root;
    XmlNode rootNode;
    if (document->get_documentElement(root.Put()) != S_OK || !root ||
        FAILED(root->QueryInterface(IID_IXMLDOMNode, rootNode.PutVoid())))
        return found;
    std::vector<std::string> steps = Steps(elementPath);
    if (steps.empty() || NodeName(rootNode.Get()) != steps.front()) return found;
    Collect(rootNode, steps, 1, found, firstOnly);
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
    std::optional<std::wstring> text = Serialise(document.Get());
    std::optional<std::string> body = text ? ToUtf8(*text) : std::nullopt;
    if (!body) return false;
    std::string bytes = std::string(kDeclaration) + *body;
    // Whatever the file declared before, it is written as UTF-8 and says so. It replaces the file
    // only when the bytes read back into the very same document.
    ComPtr<IXMLDOMDocument> check = CreateXmlDocument();
    if (!check) return false;
    Configure(check.Get());
    if (!LoadBytes(check.Get(), bytes) || Serialise(check.Get()) != text) return false;

    std::wstring target = ExtendedPath(path);
    std::wstring fresh = target + L".new";
    if (!WriteWholeFile(fresh, bytes)) {
        DeleteFileW(fresh.c_str());
        return false;
    }
    // A read-only file is not replaced (Wine's MoveFileEx would): the change is lost.
    DWORD attributes = GetFileAttributesW(target.c_str());
    bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly || !MoveFileExW(fresh.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(fresh.c_str());
        return false;
    }
    return true;
}
