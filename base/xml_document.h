// The system's XML parser: the MSXML DOM document, created by its class id.
#pragma once
#include <msxml.h>

#include "base/com_ptr.h"

// Empty when the parser cannot be created.
ComPtr<IXMLDOMDocument> CreateXmlDocument();
