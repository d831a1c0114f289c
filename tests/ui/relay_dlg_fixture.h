#pragma once

#include "platform/host_addresses.h"
#include "ui/relay_dlg.h"

#include <QApplication>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <memory>

// A main window, initialised and shown, on a host whose addresses the fixture chooses.
class RelayDlgFixture : public ::testing::Test
{
protected:
    static QStringList TwoAddresses() { return {"127.0.0.1", "127.0.0.2"}; }
    static QStringList NoAddress() { return {}; }

    void OpenWindow(QStringList (*lookup)() = TwoAddresses)
    {
        SetLocalAddressLookupForTesting(lookup);
        m_pDlg = std::make_unique<CRelayDlg>();
        m_pDlg->Create();
        m_pDlg->show();
        m_pDlg->activateWindow();
        QApplication::processEvents();
    }

    void TearDown() override
    {
        if (m_pDlg) {
            m_pDlg->OnStop();  // the window itself leaves the listener and pairs to the process
            m_pDlg.reset();
        }
        SetLocalAddressLookupForTesting(nullptr);
    }

    QLineEdit *Edit(int nID) const { return qobject_cast<QLineEdit *>(m_pDlg->GetDlgItem(nID)); }

    std::unique_ptr<CRelayDlg> m_pDlg;
};
