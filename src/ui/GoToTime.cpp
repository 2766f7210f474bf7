// 位置 > go to a time: a line for the time, checked on OK; a time the take does not hold is
// refused with the allowed range and the dialog stays for another try.
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/TonmiraView.h"
#include "ui/ViewDialogs.h"
#include "ui/i18n/Translation.h"
#include "view/TimeEntry.h"

namespace tonmira::ui {

bool CTonmiraView::GoToTime(const std::string& text)
{
    const CTonmiraDoc& doc = m_pCore->m_doc;
    if (!doc.HasTake())
        return false;
    const view::TimeTarget target =
        view::FindTimeTarget(text, doc.m_nSamples, doc.m_header.nSamplesPerSec, m_pCore->m_transport.PositionLimit());
    switch (target.status) {
    case view::TimeTarget::Status::Ok:
        // The slider's own path: position text, graphs and fundamentals follow as for its thumb.
        MoveToSliderPosition(target.frame);
        return true;
    case view::TimeTarget::Status::BadForm:
        m_host.Message(Tr("時間は m:ss.fff、h:mm:ss.fff または秒数で入力してください。").toStdString());
        return false;
    case view::TimeTarget::Status::OutOfRange:
        m_host.Message(Tr("%1 から %2 までの時間を入力してください。")
                           .arg(QString::fromStdString(target.first), QString::fromStdString(target.last))
                           .toStdString());
        return false;
    }
    return false;
}

void RunGoToTimeDialog(DialogContext ctx)
{
    auto* view = qobject_cast<CTonmiraView*>(ctx.parent);
    if (!view)
        return;
    QDialog dialog(ctx.parent);
    dialog.setObjectName(QStringLiteral("goToTime"));
    dialog.setWindowTitle(Tr("時間を指定して移動"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(Tr("時間(&T) (m:ss.fff、h:mm:ss.fff または秒):"), &dialog);
    auto* edit = new QLineEdit(QString::fromStdString(ctx.core.m_transport.PositionText()), &dialog);
    label->setBuddy(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (view->GoToTime(edit->text().toStdString())) {
            dialog.accept();
        } else {
            edit->selectAll();
            edit->setFocus();
        }
    });
    edit->selectAll();
    dialog.exec();
}

}  // namespace tonmira::ui
