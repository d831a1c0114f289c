#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>

// Runs the event loop until pred() holds or the deadline passes; returns pred().
bool RunUntil(const std::function<bool()> &pred,
              std::chrono::milliseconds deadline = std::chrono::seconds(10));

// Answers every message box that opens while it lives: records its title, text and icon, and
// presses OK. Message boxes are modal, so a test could not reach them otherwise.
class MessageBoxWatcher
{
public:
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher &) = delete;
    MessageBoxWatcher &operator=(const MessageBoxWatcher &) = delete;

    struct Seen
    {
        QString title;
        QString text;
        bool bWarning;
        int nButtons;
        QString focusedObjectAtOpen;
    };
    const std::vector<Seen> &Boxes() const { return m_seen; }

    // Runs a function while the next box is open (before it is answered).
    void WhileOpen(std::function<void()> fn) { m_whileOpen = std::move(fn); }

private:
    struct Impl;
    Impl *m_pImpl;
    std::vector<Seen> m_seen;
    std::function<void()> m_whileOpen;
};
