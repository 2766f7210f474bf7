#pragma once
// "条件設定" (template 136): the sampling rate and sample width of a text file of sample values,
// asked before it is read. DialogFormatPrompt puts it behind the document's format question.
#include "doc/FormatPrompt.h"
#include "base/Types.h"
#include "ui/dialogs/TemplateDialog.h"

namespace tonmira::ui {

enum RequireDlgControlId { kIdcRequireRate = 1032, kIdcRequire16Bit = 1033, kIdcRequire8Bit = 1038 };

class CRequireDlg : public TemplateDialog {
    Q_OBJECT
public:
    CRequireDlg(MessageSink& sink, QWidget* parent = nullptr);

    UINT m_nSamplingRate = 0;  // 1..1000000 after OK
    int m_nBitsRadio = -1;     // 0 = 16 bit, 1 = 8 bit

protected:
    void DoDataExchange(DataExchange& dx) override;
};

// The format question of File > Open answered with CRequireDlg.
class DialogFormatPrompt : public FormatPrompt {
public:
    DialogFormatPrompt(MessageSink& sink, QWidget* parent) : m_sink(sink), m_pParent(parent) {}
    bool Ask(FormatAnswer& answer) override;

private:
    MessageSink& m_sink;
    QWidget* m_pParent;
};

}  // namespace tonmira::ui
