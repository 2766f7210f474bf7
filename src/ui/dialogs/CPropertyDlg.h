#pragma once
// "ﾌﾟﾛﾊﾟﾃｨ" (template 133): format, length and path of the take.
#include <string>

#include "ui/dialogs/TemplateDialog.h"

namespace tonmira {
class CTonmiraDoc;
}

namespace tonmira::ui {

enum PropertyControlId {
    kIdcPropRate = 1032,
    kIdcPropBits = 1033,
    kIdcPropChannels = 1034,
    kIdcPropTime = 1035,
    kIdcPropPath = 1036,
};

class CPropertyDlg : public TemplateDialog {
    Q_OBJECT
public:
    CPropertyDlg(MessageSink& sink, QWidget* parent = nullptr);

    // Rate, bits and channels as "%d", the length as "%02d:%02d.%03d", the document's path.
    void SetFromDocument(const CTonmiraDoc& doc);

    std::string m_strChannels;
    std::string m_strPath;
    std::string m_strBits;
    std::string m_strRate;
    std::string m_strTime;

protected:
    void OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
};

}  // namespace tonmira::ui
