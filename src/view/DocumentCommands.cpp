#include "view/DocumentCommands.h"

#include "base/Messages.h"
#include "base/MessageSink.h"
#include "view/RecentFiles.h"
#include "view/ViewCore.h"

namespace tonmira::view {

DocumentCommands::DocumentCommands(ViewCore& core, DocumentPrompts& prompts, RecentFiles& recent)
    : m_core(core), m_prompts(prompts), m_recent(recent)
{
}

std::string DocumentCommands::Title() const
{
    if (m_strPathName.empty())
        return kUntitled;
    const std::size_t slash = m_strPathName.find_last_of('/');
    return slash == std::string::npos ? m_strPathName : m_strPathName.substr(slash + 1);
}

std::string DocumentCommands::FrameTitle() const { return Title() + " - " + kAppTitle; }

bool DocumentCommands::SaveModified()
{
    if (!m_core.m_doc.IsModified())
        return true;
    const std::string name = m_strPathName.empty() ? Title() : m_strPathName;
    switch (m_prompts.AskSaveChanges(FormatArgs(msg::kSaveChanges, {name}))) {
    case SaveAnswer::Cancel:
        return false;
    case SaveAnswer::No:
        return true;
    case SaveAnswer::Yes:
        break;
    }
    return OnFileSave();
}

bool DocumentCommands::OnFileNew()
{
    if (!SaveModified())
        return false;
    m_core.m_doc.OnNewDocument();
    m_strPathName.clear();
    m_core.InitialUpdate();
    return true;
}

void DocumentCommands::OpenLoaded(const std::string& path, CTonmiraDoc& loaded)
{
    m_core.m_doc.SwapTake(loaded);
    m_strPathName = path;
    m_recent.Add(path);
    m_core.InitialUpdate();
}

bool DocumentCommands::DoSave(const std::string& path)
{
    if (!m_core.m_doc.OnSaveDocument(path))
        return false;
    m_strPathName = path;
    m_recent.Add(path);
    return true;
}

bool DocumentCommands::OnFileSave()
{
    // A file of a format only read, or the source a take was converted from, is never written
    // over: Save becomes Save As, proposing a WAV name beside it.
    if (m_strPathName.empty() || m_core.m_doc.IsProtectedTarget(m_strPathName))
        return OnFileSaveAs();
    return DoSave(m_strPathName);
}

bool DocumentCommands::OnFileSaveAs()
{
    std::string proposed = m_strPathName.empty() ? Title() : m_strPathName;
    if (!m_strPathName.empty() && m_core.m_doc.IsProtectedTarget(m_strPathName))
        proposed = m_core.m_doc.ProposedSaveName();
    const std::optional<std::string> path = m_prompts.AskSavePath(proposed);
    if (!path || path->empty())
        return false;
    return DoSave(*path);
}

}  // namespace tonmira::view
