#include "doc/CommandState.h"

#include "doc/TonmiraDoc.h"

namespace tonmira {

namespace {

CommandState Enable(bool enable)
{
    CommandState state;
    state.m_bHandled = true;
    state.m_bEnable = enable;
    return state;
}

CommandState EnableCheck(bool enable, bool check)
{
    CommandState state = Enable(enable);
    state.m_bSetCheck = true;
    state.m_bCheck = check;
    return state;
}

}  // namespace

CommandState GetCommandState(const CTonmiraDoc& doc, int commandId)
{
    const bool take = doc.HasTake();
    const bool idle = doc.m_nState == TransportState::Idle;
    const bool unlocked = !doc.m_bLock;
    const bool stereo = doc.m_header.nChannels == 2;
    switch (commandId) {
    case kCmdFileNew:
    case kCmdFileOpen:
    case kCmdAutoRecordSetup:
        return Enable(idle);
    case kCmdRecord:
        return EnableCheck(unlocked, doc.m_nState == TransportState::Recording);
    case kCmdPause:
        return EnableCheck(unlocked, doc.m_bPause != 0);
    case kCmdPlay:
        return EnableCheck(take && unlocked, doc.m_nState == TransportState::Playing);
    case kCmdStop:
        return EnableCheck(unlocked, idle);
    case kCmdLock:
        return EnableCheck(take, doc.m_bLock != 0);
    case kCmdToStart:
    case kCmdToEnd:
    case kCmdDetectionCalc:
        return Enable(take);
    case kCmdStartMark:
        return EnableCheck(take, doc.m_nStartMark != 0);
    case kCmdEndMark:
        // Compared in 32 bits as the counts are kept: an end mark on the last frame is unchecked.
        return EnableCheck(take, static_cast<UINT>(doc.m_nEndMark + 1) != doc.m_nSamples);
    case kCmdBalance:
        return Enable(take && unlocked && idle && stereo);
    case kCmdReverse: {
        bool enable = take && unlocked && idle;
        return enable ? EnableCheck(true, doc.m_bReverse != 0) : Enable(false);
    }
    case kCmdSpeed:
        return Enable(take && unlocked && idle);
    case kCmdRecordSetup:
        return Enable(unlocked && idle);
    case kCmdTruncate:
    case kCmdRangeExpand:
    case kCmdFileSave:
    case kCmdFileSaveAs:
    case kCmdSavePcmData:
    case kCmdSaveSpectrumData:
    case kCmdSaveSpectrumTransition:
        return Enable(take && idle);
    case kCmdSaveMonoData:
        return Enable(take && stereo && idle);
    default:
        return CommandState{};
    }
}

}  // namespace tonmira
