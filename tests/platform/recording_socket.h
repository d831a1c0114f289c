#pragma once

#include "platform/socket.h"

#include <string>
#include <vector>

// A socket that writes every notification it gets into a shared log ("name:event") and, unless
// told otherwise, reads what is waiting so that reading goes on.
class RecordingSocket : public CSocket
{
public:
    RecordingSocket(std::string name, std::vector<std::string> &log, bool bRead = true)
        : m_name(std::move(name)), m_log(log), m_bRead(bRead)
    {}

    std::string m_received;
    std::size_t m_nChunk = 65536;  // at most this much is read per notification

protected:
    void OnReceive(int) override
    {
        m_log.push_back(m_name + ":read");
        if (!m_bRead)
            return;
        std::string buffer(m_nChunk, '\0');
        const int n = CAsyncSocket::Receive(buffer.data(), static_cast<int>(buffer.size()));
        if (n > 0)
            m_received.append(buffer.data(), static_cast<std::size_t>(n));
    }
    void OnSend(int) override { m_log.push_back(m_name + ":write"); }
    void OnAccept(int) override { m_log.push_back(m_name + ":accept"); }
    void OnConnect(int n) override { m_log.push_back(m_name + ":connect" + (n ? "-failed" : "")); }
    void OnClose(int) override { m_log.push_back(m_name + ":close"); }

private:
    std::string m_name;
    std::vector<std::string> &m_log;
    bool m_bRead;
};
