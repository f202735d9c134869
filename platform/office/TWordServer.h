// The built-in word-processor automation server: documents, ranges, tables and cells with
// paragraph alignment; SaveAs writes the document as RTF (".doc" and ".rtf" alike).
#pragma once

#include "platform/TAutomation.h"

#include <memory>

class TWordServer {
public:
    static std::shared_ptr<TDispatchObject> CreateApplication();
};
