#include "app/relay_app.h"
#include "platform/socket_api.h"
#include "platform/win_app.h"
#include "res/resource.h"
#include "tests/event_wait.h"
#include "tests/ui/relay_dlg_fixture.h"
#include "ui/about_dlg.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

using MainWindowTest = RelayDlgFixture;

QComboBox *Combo(CRelayDlg &dlg, int nID)
{
    return qobject_cast<QComboBox *>(dlg.GetDlgItem(nID));
}

QStringList Items(QComboBox *pCombo)
{
    QStringList items;
    for (int i = 0; i < pCombo->count(); ++i)
        items << pCombo->itemText(i);
    return items;
}

TEST_F(MainWindowTest, ShowsTheDefaultsOfAHostWithAddresses)
{
    OpenWindow(TwoAddresses);
    EXPECT_EQ(m_pDlg->windowTitle(), "Ferrolink");
    for (int nID : {IDC_CLIENT_INTERFACE, IDC_FORWARDING_INTERFACE}) {
        SCOPED_TRACE(nID);
        EXPECT_EQ(Items(Combo(*m_pDlg, nID)), QStringList({"127.0.0.1", "127.0.0.2"}));
        EXPECT_EQ(Combo(*m_pDlg, nID)->currentIndex(), 0);
    }
    EXPECT_EQ(Edit(IDC_TARGET_HOST)->text(), "127.0.0.1");
    EXPECT_EQ(Edit(IDC_LISTEN_PORT)->text(), "45689");
    EXPECT_EQ(Edit(IDC_TARGET_PORT)->text(), "45690");
    EXPECT_EQ(m_pDlg->m_pListenSocket, nullptr);
    EXPECT_EQ(m_pDlg->m_ctlConnections.GetItemCount(), 0);
    EXPECT_EQ(m_pDlg->m_ctlConnections.GetColumnCount(), 4);
    EXPECT_EQ(QApplication::focusWidget(), Edit(IDC_LISTEN_PORT));
}

TEST_F(MainWindowTest, ShowsEmptyListsAndHostForAHostWithoutAddress)
{
    MessageBoxWatcher boxes;
    OpenWindow(NoAddress);
    for (int nID : {IDC_CLIENT_INTERFACE, IDC_FORWARDING_INTERFACE}) {
        EXPECT_EQ(Combo(*m_pDlg, nID)->count(), 0);
        EXPECT_EQ(Combo(*m_pDlg, nID)->currentIndex(), -1);
    }
    EXPECT_EQ(Edit(IDC_TARGET_HOST)->text(), "");
    EXPECT_EQ(Edit(IDC_LISTEN_PORT)->text(), "45689");
    EXPECT_EQ(Edit(IDC_TARGET_PORT)->text(), "45690");
    QApplication::processEvents();
    EXPECT_TRUE(boxes.Boxes().empty()) << "nothing is reported";
}

TEST_F(MainWindowTest, RejectedPortFieldStopsTheExchange)
{
    struct
    {
        int nRejected;
        std::uint32_t listenAfter;
        std::uint32_t targetAfter;
    } const kCases[] = {
        // A rejected listen port leaves both ports; a rejected target port only itself.
        {IDC_LISTEN_PORT, 45689, 45690},
        {IDC_TARGET_PORT, 1234, 45690},
    };
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.nRejected);
        OpenWindow();
        Edit(IDC_TARGET_HOST)->setText("target.example");
        Edit(IDC_LISTEN_PORT)->setText("1234");
        Edit(IDC_TARGET_PORT)->setText("4321");
        Edit(c.nRejected)->setText("8 0");

        MessageBoxWatcher boxes;
        EXPECT_FALSE(m_pDlg->UpdateData(true));
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, "Please enter a positive integer.");
        EXPECT_EQ(boxes.Boxes()[0].title, AfxGetAppName());
        EXPECT_TRUE(boxes.Boxes()[0].bWarning);
        EXPECT_EQ(boxes.Boxes()[0].nButtons, 1);

        EXPECT_EQ(m_pDlg->m_strTargetHost, "target.example") << "read before the ports";
        EXPECT_EQ(m_pDlg->m_nListenPort, c.listenAfter);
        EXPECT_EQ(m_pDlg->m_nTargetPort, c.targetAfter);
        EXPECT_EQ(Edit(c.nRejected)->text(), "8 0") << "left as typed";
        EXPECT_EQ(m_pDlg->focusWidget(), Edit(c.nRejected));
        EXPECT_EQ(Edit(c.nRejected)->selectedText(), "8 0");
        TearDown();
    }
}

TEST_F(MainWindowTest, EnterClosesOnlyAnAcceptedForm)
{
    OpenWindow();
    Edit(IDC_LISTEN_PORT)->setText("abc");
    {
        MessageBoxWatcher boxes;
        QTest::keyClick(Edit(IDC_TARGET_HOST), Qt::Key_Return);
        EXPECT_EQ(boxes.Boxes().size(), 1u);
    }
    EXPECT_TRUE(m_pDlg->isVisible()) << "a rejected form keeps the window open";

    Edit(IDC_LISTEN_PORT)->setText("7000");
    QTest::keyClick(Edit(IDC_TARGET_HOST), Qt::Key_Enter);
    EXPECT_FALSE(m_pDlg->isVisible());
    EXPECT_EQ(m_pDlg->result(), QDialog::Accepted);
    EXPECT_EQ(m_pDlg->m_nListenPort, 7000u);
}

TEST_F(MainWindowTest, EscapeClosesWithoutReadingTheForm)
{
    OpenWindow();
    Edit(IDC_LISTEN_PORT)->setText("abc");
    Edit(IDC_TARGET_HOST)->setText("elsewhere");
    MessageBoxWatcher boxes;
    QTest::keyClick(Edit(IDC_LISTEN_PORT), Qt::Key_Escape);
    EXPECT_FALSE(m_pDlg->isVisible());
    EXPECT_EQ(m_pDlg->result(), QDialog::Rejected);
    EXPECT_EQ(m_pDlg->m_strTargetHost, "127.0.0.1");
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(MainWindowTest, EnterOnAButtonPressesIt)
{
    OpenWindow();
    auto *pStop = m_pDlg->GetDlgItem(IDC_STOP);
    pStop->setFocus();
    QTest::keyClick(pStop, Qt::Key_Return);
    EXPECT_TRUE(m_pDlg->isVisible()) << "Stop was pressed, not OK";
}

TEST_F(MainWindowTest, SystemMenuEndsWithTheAboutItemThatOpensTheAboutBox)
{
    OpenWindow();
    QMenu *pSysMenu = m_pDlg->GetSystemMenu(false)->GetQMenu();
    const QList<QAction *> actions = pSysMenu->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_TRUE(actions[2]->isSeparator());
    EXPECT_EQ(actions[3]->text(), "&About Ferrolink...");
    EXPECT_EQ(actions[3]->data().toUInt(), 16u);

    QString seenTitle;
    bool bMainWaits = false;
    QTimer closer;
    closer.setInterval(5);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget *pWidget : QApplication::topLevelWidgets()) {
            if (auto *pAbout = dynamic_cast<CAboutDlg *>(pWidget); pAbout && pAbout->isVisible()) {
                seenTitle = pAbout->windowTitle();
                bMainWaits =
                    QApplication::activeModalWidget() == pAbout;  // main window input waits
                QTest::keyClick(pAbout, Qt::Key_Escape);
            }
        }
    });
    closer.start();
    actions[3]->trigger();  // returns once the modal About box has closed
    EXPECT_EQ(seenTitle, "About Ferrolink");
    EXPECT_TRUE(bMainWaits);
    EXPECT_TRUE(m_pDlg->isVisible());
}

TEST_F(MainWindowTest, LabelsNameTheirFieldsAndTabFollowsTheTemplate)
{
    OpenWindow();
    const struct
    {
        const char *label;
        int nField;
    } kBuddies[] = {
        {"Port to Listen:", IDC_LISTEN_PORT}, {"IP:", IDC_TARGET_HOST}, {"Port:", IDC_TARGET_PORT}};
    for (const auto &b : kBuddies) {
        SCOPED_TRACE(b.label);
        bool bFound = false;
        for (QLabel *pLabel : m_pDlg->findChildren<QLabel *>()) {
            if (pLabel->text() == b.label) {
                EXPECT_EQ(pLabel->buddy(), m_pDlg->GetDlgItem(b.nField));
                bFound = true;
            }
        }
        EXPECT_TRUE(bFound);
    }
    int nInterfaceLabels = 0;
    for (QLabel *pLabel : m_pDlg->findChildren<QLabel *>()) {
        if (pLabel->text() == "Interface:") {
            EXPECT_TRUE(pLabel->buddy() == m_pDlg->GetDlgItem(IDC_CLIENT_INTERFACE) ||
                        pLabel->buddy() == m_pDlg->GetDlgItem(IDC_FORWARDING_INTERFACE));
            ++nInterfaceLabels;
        }
    }
    EXPECT_EQ(nInterfaceLabels, 2);

    const int kTabOrder[] = {IDC_LISTEN_PORT,      IDC_TARGET_PORT,      IDC_TARGET_HOST,
                             IDC_CLIENT_INTERFACE, IDC_START_FORWARDING, IDC_STOP,
                             IDC_CONNECTIONS,      IDC_DOWNLOAD_NOW,     IDC_FORWARDING_INTERFACE};
    for (std::size_t i = 0; i + 1 < std::size(kTabOrder); ++i) {
        SCOPED_TRACE(kTabOrder[i]);
        QWidget *pNext = m_pDlg->GetDlgItem(kTabOrder[i])->nextInFocusChain();
        while (pNext->focusPolicy() == Qt::NoFocus || !pNext->isVisible())
            pNext = pNext->nextInFocusChain();
        EXPECT_EQ(pNext, m_pDlg->GetDlgItem(kTabOrder[i + 1]));
    }
}

TEST_F(MainWindowTest, MenuBarHoldsTheConnectionCommands)
{
    OpenWindow();
    const QList<QAction *> top = m_pDlg->GetMenuBar()->actions();
    ASSERT_EQ(top.size(), 1);
    EXPECT_EQ(top[0]->text(), "Manage Connections");
    QStringList items;
    for (QAction *pAction : top[0]->menu()->actions())
        items << (pAction->isSeparator() ? QStringLiteral("-") : pAction->text());
    EXPECT_EQ(items, QStringList({"ReConnect", "-", "Disconnect", "-", "Close Connection"}));
}

bool FailingSocketInit()
{
    return false;
}

TEST(StartUpTest, FailedSocketLayerShowsItsMessageAndNoWindow)
{
    SetSocketInitForTesting(FailingSocketInit);
    MessageBoxWatcher boxes;
    CRelayApp app;
    EXPECT_FALSE(app.InitInstance());
    SetSocketInitForTesting(nullptr);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Windows sockets initialization failed.");
    for (QWidget *pWidget : QApplication::topLevelWidgets())
        EXPECT_FALSE(dynamic_cast<CRelayDlg *>(pWidget) && pWidget->isVisible());
}

}  // namespace
