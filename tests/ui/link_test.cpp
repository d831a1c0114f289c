#include "platform/open_url.h"
#include "res/resource.h"
#include "tests/ui/relay_dlg_fixture.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

QStringList g_opened;
void RecordOpen(const QString &address)
{
    g_opened << address;
}

class LinkTest : public RelayDlgFixture
{
protected:
    void SetUp() override
    {
        g_opened.clear();
        SetShellOpenForTesting(RecordOpen);
        OpenWindow();
    }
    void TearDown() override
    {
        SetShellOpenForTesting(nullptr);
        RelayDlgFixture::TearDown();
    }
    QWidget *Item(int nID) { return m_pDlg->GetDlgItem(nID); }
    static void Hover(QWidget *pWidget)
    {
        QEnterEvent event(QPointF(5, 5), pWidget->mapToGlobal(QPointF(5, 5)),
                          pWidget->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(pWidget, &event);
    }
};

TEST_F(LinkTest, EachLinkOpensItsOwnAddress)
{
    QTest::mouseClick(Item(IDC_BANNER), Qt::LeftButton);
    // The far end of the text line, right of the last letter, is part of the link too.
    QWidget *pLine = Item(IDC_LINK);
    QTest::mouseClick(pLine, Qt::LeftButton, {}, QPoint(pLine->width() - 2, pLine->height() / 2));
    QTest::mouseClick(Item(IDC_DOWNLOAD_NOW), Qt::LeftButton);
    QTest::mouseClick(Item(IDC_BANNER), Qt::RightButton);  // only the left button opens

    EXPECT_EQ(g_opened, QStringList({CLinkBitmap::kDefaultURL, CRelayDlg::kLinkURL,
                                     CRelayDlg::kDownloadURL}));
    EXPECT_FALSE(g_opened.contains(CLinkLabel::kDefaultURL)) << "replaced during initialisation";
    const QStringList all = {CLinkBitmap::kDefaultURL, CLinkLabel::kDefaultURL, CRelayDlg::kLinkURL,
                             CRelayDlg::kDownloadURL};
    EXPECT_EQ(QSet<QString>(all.begin(), all.end()).size(), 4) << "four distinct addresses";
}

TEST_F(LinkTest, EmptyTargetTakesTheControlsOwnText)
{
    m_pDlg->m_ctlLink.SetURL(QString());
    const QString text = static_cast<QLabel *>(Item(IDC_LINK))->text();
    QTest::mouseClick(Item(IDC_LINK), Qt::LeftButton);
    QTest::mouseClick(Item(IDC_LINK), Qt::LeftButton);
    EXPECT_EQ(g_opened, QStringList({text, text}));
    EXPECT_EQ(m_pDlg->m_ctlLink.GetURL(), text) << "kept as the target from then on";
}

TEST_F(LinkTest, TextLineIsTheWindowFontUnderlinedInPureBlueOnTheWindowBackground)
{
    QWidget *pLine = Item(IDC_LINK);
    QFont expected = m_pDlg->font();
    expected.setUnderline(true);
    EXPECT_EQ(pLine->font(), expected);
    EXPECT_EQ(pLine->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_FALSE(pLine->autoFillBackground());
    EXPECT_FALSE(Item(IDC_TARGET_HOST)->font().underline()) << "only the link is underlined";
}

TEST_F(LinkTest, PointerIsAHandOverTheLinksAndAnArrowOverTheButton)
{
    for (int nID : {IDC_BANNER, IDC_LINK}) {
        SCOPED_TRACE(nID);
        Hover(Item(nID));
        EXPECT_EQ(Item(nID)->cursor().shape(), Qt::BitmapCursor);
        EXPECT_EQ(Item(nID)->cursor().hotSpot(), QPoint(5, 0));
        EXPECT_EQ(Item(nID)->cursor().pixmap().size(), QSize(32, 32));
    }
    Hover(Item(IDC_DOWNLOAD_NOW));
    EXPECT_EQ(Item(IDC_DOWNLOAD_NOW)->cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
