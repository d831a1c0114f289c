#include "tests/ui/forwarding_fixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

// The connection commands on real pairs: a target that listens, clients through the window.
class CommandsTest : public ForwardingTest
{
protected:
    struct Connection
    {
        int client;
        int server;
    };
    // A client through the window and its target side, once its row reads "Connected".
    Connection Connect(RawListener &target)
    {
        const int nRows = Rows();
        const int client = Client();
        EXPECT_TRUE(WaitForStatus(nRows + 1, "Connected"));
        return {client, Keep(target.Accept())};
    }
    void Select(int nRow) { Table().SetItemState(nRow, LVIS_SELECTED, LVIS_SELECTED); }
    static bool Relays(const Connection &c, const std::string &text)
    {
        return SendAll(c.client, text) && ReadCount(c.server, text.size()) == text &&
               SendAll(c.server, text) && ReadCount(c.client, text.size()) == text;
    }
    QAction *MenuBarCommand(const QString &text)
    {
        for (QAction *pAction : m_pDlg->GetMenuBar()->actions().first()->menu()->actions())
            if (pAction->text() == text)
                return pAction;
        return nullptr;
    }
};

TEST_F(CommandsTest, CommandsWithoutASelectedRowDoNothing)
{
    RawListener target;
    Start(target.Port());
    for (void (CRelayDlg::*command)() :
         {&CRelayDlg::OnReConnect, &CRelayDlg::OnDisconnect, &CRelayDlg::OnCloseConnection})
        (m_pDlg.get()->*command)();  // on an empty table
    EXPECT_EQ(Rows(), 0);

    const Connection c = Connect(target);
    Table().SetItemText(0, 2, "marker");  // any write of a status would replace it
    for (const char *item : {"ReConnect", "Disconnect", "Close Connection"}) {
        SCOPED_TRACE(item);
        MenuBarCommand(item)->trigger();
        EXPECT_EQ(Rows(), 1);
        EXPECT_EQ(Status(0), "marker");
    }
    EXPECT_TRUE(Relays(c, "untouched"));
}

TEST_F(CommandsTest, DisconnectClosesOnlyTheTargetSideAndReConnectCannotUndoIt)
{
    RawListener target;
    Start(target.Port());
    const Connection c = Connect(target);
    Select(0);
    m_pDlg->OnDisconnect();
    EXPECT_EQ(Status(0), "Disconnected");
    EXPECT_EQ(Rows(), 1);
    EXPECT_TRUE(WaitForPeerClose(c.server)) << "the target side is closed";
    EXPECT_TRUE(IsOpenAndQuiet(c.client)) << "the client stays connected";

    m_pDlg->OnReConnect();  // the target socket has no handle any more: no attempt
    EXPECT_EQ(Status(0), "Disconnected");
    EXPECT_EQ(target.Accept(std::chrono::milliseconds(200)), -1);

    m_pDlg->OnDisconnect();  // again: nothing to close, the status is written again
    EXPECT_EQ(Status(0), "Disconnected");
    EXPECT_TRUE(IsOpenAndQuiet(c.client));
}

TEST_F(CommandsTest, ReConnectAfterAFailedConnectUsesTheSameSocketOnceTheTargetListens)
{
    const std::uint16_t nTargetPort = FreePort();
    Start(nTargetPort);
    const int client = Client();
    ASSERT_TRUE(WaitForStatus(1, "Failed to Connect"));
    Select(0);
    m_pDlg->OnReConnect();  // still nobody there
    EXPECT_EQ(Status(0), "Failed to Connect");

    RawListener target(5, nTargetPort);
    m_pDlg->OnReConnect();
    EXPECT_EQ(Status(0), "Connected");
    EXPECT_TRUE(Relays({client, Keep(target.Accept())}, "flows now"));
}

TEST_F(CommandsTest, ReConnectOnALiveConnectionChangesNothing)
{
    RawListener target;
    Start(target.Port());
    const Connection c = Connect(target);
    Table().SetItemText(0, 2, "marker");
    Select(0);
    m_pDlg->OnReConnect();
    EXPECT_EQ(Status(0), "marker") << "the attempt failed, so no status was written";
    EXPECT_EQ(target.Accept(std::chrono::milliseconds(200)), -1);
    EXPECT_TRUE(Relays(c, "same pair"));
}

TEST_F(CommandsTest, CloseConnectionRemovesTheMiddleRowAndKeepsTheOthers)
{
    RawListener target;
    Start(target.Port());
    const Connection first = Connect(target), second = Connect(target), third = Connect(target);
    const QString topPort = Table().GetItemText(0, 1), bottomPort = Table().GetItemText(2, 1);
    Select(1);
    m_pDlg->OnCloseConnection();
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Table().GetItemText(0, 1), topPort);
    EXPECT_EQ(Table().GetItemText(1, 1), bottomPort);
    EXPECT_EQ(RegistryKeys().size(), 2);
    EXPECT_TRUE(WaitForPeerClose(second.client));
    EXPECT_TRUE(WaitForPeerClose(second.server));
    EXPECT_TRUE(Relays(first, "first"));
    EXPECT_TRUE(Relays(third, "third"));
}

TEST_F(CommandsTest, CloseConnectionWithoutAListenerDoesNothing)
{
    RawListener target;
    Start(target.Port());
    const Connection c = Connect(target);
    Select(0);
    // The listener is gone but the row is still there: only Stop and Start empty the table,
    // so this state is made by hand.
    CListenSocket *pListener = m_pDlg->m_pListenSocket;
    m_pDlg->m_pListenSocket = nullptr;
    m_pDlg->OnCloseConnection();
    EXPECT_EQ(Rows(), 1);
    EXPECT_TRUE(IsOpenAndQuiet(c.client));
    m_pDlg->m_pListenSocket = pListener;
}

// Right-clicks the table at a point of its viewport; a timer chooses sItem in the context menu
// once it shows (and records where it showed and what was on screen before).
class ContextMenuTest : public CommandsTest
{
protected:
    struct Seen
    {
        bool bShown = false;
        QPoint topLeft;
        std::size_t nBoxesBefore = 0;
    };
    Seen RightClickAndChoose(const QString &item, MessageBoxWatcher *pBoxes = nullptr)
    {
        Seen seen;
        QTimer chooser;
        chooser.setInterval(5);
        QObject::connect(&chooser, &QTimer::timeout, [&] {
            auto *pMenu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (pMenu == nullptr)
                return;
            seen.bShown = true;
            seen.topLeft = pMenu->geometry().topLeft();
            seen.nBoxesBefore = pBoxes ? pBoxes->Boxes().size() : 0;
            for (QAction *pAction : pMenu->actions())
                if (pAction->text() == item)
                    pMenu->setActiveAction(pAction);
            QTest::keyClick(pMenu, Qt::Key_Return);
        });
        chooser.start();
        auto *pTable = static_cast<QTableView *>(m_pDlg->GetDlgItem(IDC_CONNECTIONS));
        const QPoint at(40, 60);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, pTable->viewport()->mapToGlobal(at));
        QApplication::sendEvent(pTable->viewport(), &event);
        m_clickedAt = pTable->viewport()->mapToGlobal(at);
        QApplication::processEvents();  // the chosen command arrives as a posted command
        return seen;
    }
    QPoint m_clickedAt;
};

TEST_F(ContextMenuTest, OpensAtThePointerAndItsCommandsReachTheSameHandlers)
{
    RawListener target;
    Start(target.Port());
    const Connection c = Connect(target);
    Select(0);
    const Seen seen = RightClickAndChoose("Disconnect");
    ASSERT_TRUE(seen.bShown);
    EXPECT_EQ(seen.topLeft, m_clickedAt);
    EXPECT_TRUE(RunUntil([&] { return Status(0) == "Disconnected"; }));
    EXPECT_TRUE(WaitForPeerClose(c.server));

    RightClickAndChoose("Close Connection");
    EXPECT_TRUE(RunUntil([&] { return Rows() == 0; }));
    EXPECT_TRUE(WaitForPeerClose(c.client));
}

TEST_F(ContextMenuTest, ReadsTheFormFirstAndOpensEvenAfterARejectedField)
{
    RawListener target;
    Start(target.Port());
    Edit(IDC_TARGET_HOST)->setText("new-host.example");
    Edit(IDC_LISTEN_PORT)->setText("-5");
    MessageBoxWatcher boxes;
    const Seen seen = RightClickAndChoose("ReConnect", &boxes);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Please enter a positive integer.");
    EXPECT_TRUE(seen.bShown) << "the menu opens all the same";
    EXPECT_EQ(seen.nBoxesBefore, 1u) << "the message comes before the menu";
    EXPECT_EQ(m_pDlg->m_strTargetHost, "new-host.example") << "the form was read";
}

}  // namespace

namespace {

TEST_F(CommandsTest, MenuBarCommandsActOnTheSelectedRow)
{
    RawListener target;
    Start(target.Port());
    const Connection c = Connect(target);
    Select(0);
    MenuBarCommand("Disconnect")->trigger();
    EXPECT_EQ(Status(0), "Disconnected");
    EXPECT_TRUE(WaitForPeerClose(c.server));
    MenuBarCommand("Close Connection")->trigger();
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(WaitForPeerClose(c.client));
}

}  // namespace
