#pragma once
// TakeLoad: one file read into a document of its own on a worker thread, so that the thread that
// owns the session keeps drawing and answering while a long take is read, and the take shown
// stays whole until the new one is complete.
//
// Threads: the owner (the session's thread) constructs, starts, cancels, joins and destroys it,
// and reads the result after Join. The worker touches only the load's own document. What the
// load says goes to a list the owner shows after the read, in order; the format question of a
// text file is put on the owner's thread (after the messages said before it) while the worker
// waits, and a cancel ends that wait at once.
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/MessageSink.h"
#include "doc/FormatPrompt.h"
#include "doc/TonmiraDoc.h"

namespace tonmira {

class TakeLoad {
public:
    // Runs fn on the owner's thread soon; callable from any thread. The owner may drop fn when it
    // is gone (fn then must not run).
    using Post = std::function<void(std::function<void()>)>;

    // sink and prompt are the owner's (used on its thread only, and must outlive every call
    // posted); prompt null refuses text files, as a document without one does.
    TakeLoad(MessageSink& sink, FormatPrompt* prompt, Post post);
    // Cancels and joins.
    ~TakeLoad();
    TakeLoad(const TakeLoad&) = delete;
    TakeLoad& operator=(const TakeLoad&) = delete;

    // Starts reading path. The load's document begins with current's header and lock (a load
    // keeps what it does not read, as on the document itself). onFinished is posted once the
    // worker has ended; once only per TakeLoad.
    void Start(const std::string& path, const CTonmiraDoc& current, std::function<void()> onFinished);
    // Calls the read off: it fails at its next look at the flag, a question being asked is
    // abandoned, and the result counts as cancelled. Owner's thread.
    void Cancel();
    bool IsCancelled() const { return m_doc.m_bCancelLoad.load(std::memory_order_relaxed); }
    // Waits for the worker to end (promptly after Cancel).
    void Join();
    // 0..1: the part of the file read so far; any thread.
    double Progress() const;

    // After Join: true when the file was read and the load was not cancelled.
    bool Succeeded() const { return m_bRead && !IsCancelled(); }
    // After Join: the load's document (its take when Succeeded) and what the load said that was
    // not yet shown (nothing after a cancel).
    CTonmiraDoc& Document() { return m_doc; }
    std::vector<std::string> TakeMessages();

private:
    // What one question to the owner shares between the worker and the posted call. The call may
    // run after the worker gave up waiting, so it holds its own copies.
    struct Question {
        std::vector<std::string> messages;  // to show before the question
        FormatAnswer answer;
        bool accepted = false;
        bool answered = false;
        bool abandoned = false;
    };
    // The lock and wake-up shared with posted calls, which may outlive this object.
    struct Channel;

    // The load's format prompt: asks the owner and waits.
    class RelayPrompt : public FormatPrompt {
    public:
        explicit RelayPrompt(TakeLoad& load) : m_load(load) {}
        bool Ask(FormatAnswer& answer) override { return m_load.AskOwner(answer); }

    private:
        TakeLoad& m_load;
    };

    bool AskOwner(FormatAnswer& answer);

    MessageSink& m_ownerSink;
    FormatPrompt* m_pOwnerPrompt;
    Post m_post;
    std::shared_ptr<Channel> m_pChannel;
    CapturingMessageSink m_messages;  // the worker's until Join
    RelayPrompt m_relay{*this};
    CTonmiraDoc m_doc{m_messages};
    bool m_bRead = false;  // the worker's until Join
    std::thread m_worker;
};

}  // namespace tonmira
