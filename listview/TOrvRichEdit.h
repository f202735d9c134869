// TOrvRichEdit: the rich-edit engine a list keeps hidden to render, convert and build rich-text
// cells. It adds nothing of its own: superscript (SetSuperscript, a 40-twip raise) and the raw
// offset (SetSelOffset) come with the engine.
#pragma once

#include "platform/TRichEdit.h"

class TOrvRichEdit : public TRichEdit {
public:
    TOrvRichEdit() = default;
};
