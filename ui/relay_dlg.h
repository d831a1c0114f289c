#pragma once

#include "platform/combo_box.h"
#include "platform/dialog.h"
#include "platform/list_ctrl.h"
#include "ui/link_bitmap.h"
#include "ui/link_label.h"

#include <QIcon>
#include <QString>
#include <cstdint>

class CListenSocket;

// The main window: the forwarding form, the buttons that start and stop forwarding, the
// connection table with its commands, and the advertisement at the top.
//
// Owns the one listener (m_pListenSocket) and, through the table rows' item data, every
// connection pair; the destructor frees neither, as the program ends with the window.
// GUI thread only.
class CRelayDlg : public CDialog
{
public:
    explicit CRelayDlg(QWidget *pParent = nullptr);
    ~CRelayDlg() override;

    // Button and command handlers.
    void OnStartForwarding();
    void OnStop();
    void OnDownloadNow();
    void OnRclickConnections(long *pResult);
    void OnReConnect();
    void OnDisconnect();
    void OnCloseConnection();

    static const char *const kLinkURL;
    static const char *const kDownloadURL;

    CListenSocket *m_pListenSocket = nullptr;  // owned
    CComboBox m_cmbForwardingInterface;
    CLinkBitmap m_ctlBanner;
    CLinkLabel m_ctlLink;
    CComboBox m_cmbClientInterface;
    CListCtrl m_ctlConnections;
    QString m_strTargetHost;
    std::uint32_t m_nListenPort = 0;
    std::uint32_t m_nTargetPort = 0;
    QIcon m_hIcon;

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    bool OnInitDialog() override;
    void OnSysCommand(std::uint32_t nID, std::intptr_t lParam) override;
    void OnCommand(std::uint32_t nID) override;
    void OnNotify(int nIDCtrl, std::uint32_t nCode) override;

private:
    // Closes and deletes the pair of every row, then empties the table.
    void DropAllConnections();
    static QString SelectedText(const CComboBox &combo);
};
