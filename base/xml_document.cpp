#include "base/xml_document.h"

namespace {
// MinGW declares the MSXML class ids in its headers; this one is defined here, once.
const CLSID kDomDocumentClass = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kDomDocumentInterface = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
}  // namespace

ComPtr<IXMLDOMDocument> CreateXmlDocument() {
    ComPtr<IXMLDOMDocument> document;
    if (FAILED(CoCreateInstance(kDomDocumentClass, nullptr, CLSCTX_SERVER, kDomDocumentInterface,
                                document.PutVoid())))
        document.Reset();
    return document;
}
