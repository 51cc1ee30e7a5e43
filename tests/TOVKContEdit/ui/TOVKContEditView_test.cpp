// The content list view over a real document, driven offscreen.
#include "TOVKContEdit/checks_fixtures.h"
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/ui/AddContentDlg.h"
#include "TOVKContEdit/ui/App.h"
#include "TOVKContEdit/ui/MainFrame.h"
#include "TOVKContEdit/ui/SortDlg.h"
#include "TOVKContEdit/ui/TOVKContEditView.h"
#include "common/TestSupport.h"
#include "grid_fixtures.h"
#include "platform/RecordingMessages.h"
#include "platform/WaveOut.h"

#include <QBuffer>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragMoveEvent>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QUrl>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

namespace
{
using namespace ChecksFixtures;

// A guide picture in two colours: red on top, blue below.
QByteArray GuideBitmap()
{
    QList<QRgb> palette = GreyPalette(256);
    palette[0] = qRgb(255, 0, 0);
    palette[1] = qRgb(0, 0, 255);
    return MakeBmp(256, 192, 8, palette, [](int, int y) { return std::uint32_t(y < 96 ? 0 : 1); });
}

QByteArray VoiceWave(int channels = 1)
{
    return MakeWav(channels, 16000, 16, Samples(64));
}

QMimeData* FileDrop(const QString& path)
{
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(path)});
    return data;
}

// A voice whose whole path is exactly length characters long, below folder.
QString VoiceWithPathLength(const QString& folder, int length)
{
    QString base = folder + QStringLiteral("/long");
    while (base.size() < length - 60)
        base += u'/' + QString(std::min<qsizetype>(100, length - 60 - base.size()), u'd');
    const qsizetype nameLength = length - base.size() - 1;
    return TestSupport::WriteFile(
        base + u'/' + QString(nameLength - 4, u'v') + QStringLiteral(".wav"), VoiceWave());
}

// The view with its two dialogs answered by the test.
class TestView : public CTOVKContEditView
{
public:
    explicit TestView(CTOVKContEditDoc& doc)
        : CTOVKContEditView(doc, std::make_unique<RecordingWaveOut>())
    {
    }

    std::function<int(CAddContentDlg&)> onAdd;
    std::function<int(CSortDlg&)> onSort;
    int addRuns = 0;

    QImage Render() { return GridFixtures::RenderScreen(*this); }
    QPoint CellPoint(int column, int line) const
    {
        return GridFixtures::CellCentre(*this, column, line);
    }

protected:
    int RunAddDialog(CAddContentDlg& dialog) override
    {
        ++addRuns;
        return onAdd ? onAdd(dialog) : IDCANCEL;
    }
    int RunSortDialog(CSortDlg& dialog) override { return onSort ? onSort(dialog) : IDCANCEL; }
};

class ViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Strings::Install(ContEditStringsEN());
        folder = TestSupport::NewFolder(QStringLiteral("view"));
        picture =
            TestSupport::WriteFile(folder + QStringLiteral("/input/bmp/work.bmp"), GuideBitmap());
        voice = TestSupport::WriteFile(folder + QStringLiteral("/input/wav/work.wav"), VoiceWave());
        doc.SetConvertFolder(folder);
        view = std::make_unique<TestView>(doc);
        view->resize(1000, 700);
        view->OnInitialUpdate();
        view->show();
        view->OnActivateView(true);
    }

    void AddRows(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            const int row = doc.AddRow(true);
            doc.SetCellText(row, ColumnComment, QStringLiteral("row %1").arg(row + 1), false);
        }
        view->RefreshAll();
    }

    void Select(std::initializer_list<int> lines)
    {
        bool first = true;
        for (int line : lines)
        {
            QTest::mouseClick(view->viewport(), Qt::LeftButton,
                              first ? Qt::NoModifier : Qt::ControlModifier,
                              view->CellPoint(1, line));
            first = false;
        }
    }

    RecordingMessages messages;
    QString folder;
    QString picture;
    QString voice;
    CTOVKContEditDoc doc;
    std::unique_ptr<TestView> view;
};

TEST_F(ViewTest, ColumnsCarryTheirTitlesAndDefaultWidths)
{
    const char* titles[] = {"Language", "Item number", "Comment", "Image number",
                            "Image1",   "Image2",      "Voice",   "Item description"};
    ASSERT_EQ(view->GetColumnCount(), 8);
    for (int c = 0; c < 8; ++c)
    {
        EXPECT_EQ(view->GetColumnTitle(c), QString::fromLatin1(titles[c])) << c;
        EXPECT_GE(view->GetColumnWidth(c), 5) << c;
    }
    EXPECT_EQ(view->GetColumnWidth(ColumnImage1), 130);
    EXPECT_EQ(view->GetColumnWidth(ColumnDescription), 300);
    EXPECT_TRUE(view->GetColumnFormat(ColumnVoice) & DT_PATH_ELLIPSIS);
    EXPECT_FALSE(view->GetColumnFormat(ColumnDescription) & DT_SINGLELINE);
}

TEST_F(ViewTest, RowHeightFollowsTheWiderPictureColumn)
{
    struct Case
    {
        int image1;
        int image2;
        int height;
    } cases[] = {{130, 130, 98}, {67, 67, 50}, {67, 130, 98}, {100, 20, 75}, {400, 10, 98}};
    for (const Case& c : cases)
    {
        view->SetColumnWidth(ColumnImage1, c.image1);
        view->SetColumnWidth(ColumnImage2, c.image2);
        EXPECT_EQ(view->GetRowHeight(), c.height) << c.image1 << "/" << c.image2;
    }
}

TEST_F(ViewTest, SavedWidthsReplaceTheDefaultsAndAreWrittenBack)
{
    CTOVKContEditApp app;
    const int saved[8] = {-1, 90, 2, 75, 67, 67, 200, 120};
    std::copy(std::begin(saved), std::end(saved), app.m_nColumnWidth);
    {
        TestView other(doc);
        other.OnInitialUpdate();
        EXPECT_EQ(other.GetColumnWidth(0), 50); // not saved: the default
        EXPECT_EQ(other.GetColumnWidth(1), 90);
        EXPECT_GT(other.GetColumnWidth(2), 2); // at least what fits
        EXPECT_EQ(other.GetRowHeight(), 50);
        other.SetColumnWidth(7, 222);
    }
    EXPECT_EQ(app.m_nColumnWidth[7], 222);
    EXPECT_EQ(app.m_nColumnWidth[1], 90);
}

TEST_F(ViewTest, LinesShowTheRowsInTheDisplayLanguage)
{
    AddRows(2);
    doc.SetCellText(1, ColumnImage1, picture, false);
    doc.OnViewLanguage(2);
    doc.SetCellText(1, ColumnVoice, voice, false);
    doc.OnViewLanguage(0);
    ASSERT_EQ(view->GetLineCount(), 2);
    EXPECT_EQ(view->GetCell(ColumnLanguage, 1)->text, QStringLiteral("JPN"));
    EXPECT_EQ(view->GetCell(ColumnImageNumber, 1)->number, 1);
    EXPECT_EQ(view->GetCell(ColumnImage1, 1)->text, picture);
    EXPECT_EQ(view->GetCell(ColumnVoice, 1)->text, QString());

    doc.OnViewLanguage(2);
    for (int line = 0; line < 2; ++line)
        EXPECT_EQ(view->GetCell(ColumnLanguage, line)->text, QStringLiteral("FRE"));
    EXPECT_EQ(view->GetCell(ColumnImageNumber, 1)->number, 0);
    EXPECT_EQ(view->GetCell(ColumnVoice, 1)->text, voice);
}

TEST_F(ViewTest, AddAtTheTableLimitShowsTheMaximum)
{
    for (int i = 0; i < MaxContentRows; ++i)
        doc.AddRow(true);
    view->RefreshAll();
    view->OnEditAdd();
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].text,
              QStringLiteral("The maximum item value is 10000.\r\nYou cannot register more "
                             "than this."));
    EXPECT_EQ(view->addRuns, 0);

    // The empty line after the last row, by double-click.
    view->SetFocusRow(MaxContentRows, true);
    const QPoint point = view->CellPoint(1, MaxContentRows);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, point);
    EXPECT_EQ(messages.shown().size(), 2);
    EXPECT_EQ(view->addRuns, 0);
    EXPECT_EQ(doc.GetRowCount(), MaxContentRows);
}

TEST_F(ViewTest, EnterAndDoubleClickOnTheEmptyLineOpenANewRow)
{
    AddRows(2);
    int rowIndex = 99;
    view->onAdd = [&](CAddContentDlg& dialog)
    {
        rowIndex = dialog.m_nRowIndex;
        return IDCANCEL;
    };
    view->SetFocusRow(2, true);
    QTest::keyClick(view.get(), Qt::Key_Return);
    EXPECT_EQ(rowIndex, -1);
    EXPECT_EQ(view->addRuns, 1);

    const QPoint point = view->CellPoint(2, 2);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, point);
    EXPECT_EQ(view->addRuns, 2);
    EXPECT_EQ(rowIndex, -1);

    // On a row the dialog edits that row.
    const QPoint onRow = view->CellPoint(2, 1);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, onRow);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, onRow);
    EXPECT_EQ(rowIndex, 1);
    EXPECT_EQ(doc.GetRowCount(), 2);
}

TEST_F(ViewTest, AddStoresEveryLanguageAndFocusesTheNewLine)
{
    AddRows(1);
    doc.OnViewLanguage(1);
    view->onAdd = [&](CAddContentDlg& dialog)
    {
        EXPECT_EQ(dialog.m_nRowIndex, -1);
        EXPECT_EQ(dialog.m_nCurrentTab, 1);
        EXPECT_EQ(dialog.m_nItemNumber, 2);
        dialog.m_nItemNumber = 7;
        dialog.m_strComment = QStringLiteral("new");
        dialog.m_strImage1[1] = picture;
        dialog.m_strVoice[1] = voice;
        dialog.m_strDescription[1] = QStringLiteral("english");
        dialog.m_strDescription[8] = QStringLiteral("dutch");
        return IDOK;
    };
    view->OnEditAdd();
    ASSERT_EQ(doc.GetRowCount(), 2);
    const ContentRow& row = doc.GetRow(1);
    EXPECT_EQ(row.itemNumber, 7);
    EXPECT_EQ(row.language, 1);
    EXPECT_EQ(row.comment, QStringLiteral("new"));
    EXPECT_EQ(row.image1[1], picture);
    EXPECT_EQ(row.description[8], QStringLiteral("dutch"));
    EXPECT_EQ(doc.GetDisplayLanguage(), 1);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(view->GetLineCount(), 2);
    EXPECT_EQ(view->GetFocusRow(), 1);
    EXPECT_EQ(view->GetCell(ColumnDescription, 1)->text, QStringLiteral("english"));
    EXPECT_EQ(view->GetCell(ColumnLanguage, 0)->text, QStringLiteral("ENG"));
}

TEST_F(ViewTest, MoveCommandsAreDisabledAtTheEnds)
{
    AddRows(4);
    struct Case
    {
        std::initializer_list<int> selection;
        bool up;
        bool down;
    } cases[] = {{{0}, false, true},
                 {{3}, true, false},
                 {{1, 2}, true, true},
                 {{2, 0}, false, true},
                 {{1, 3}, true, false}};
    for (const Case& c : cases)
    {
        Select(c.selection);
        EXPECT_EQ(view->OnUpdateEditMoveUp(), c.up);
        EXPECT_EQ(view->OnUpdateEditMoveDown(), c.down);
    }
    QTest::keyClick(view.get(), Qt::Key_Escape);
    EXPECT_FALSE(view->OnUpdateEditMoveUp());
    EXPECT_FALSE(view->OnUpdateEditMoveDown());
}

TEST_F(ViewTest, MovingABlockKeepsItSelected)
{
    AddRows(5);
    Select({2, 3});
    view->OnEditMoveUp();
    EXPECT_EQ(doc.GetRow(1).comment, QStringLiteral("row 3"));
    EXPECT_EQ(doc.GetRow(3).comment, QStringLiteral("row 2"));
    EXPECT_TRUE(view->IsRowSelected(1));
    EXPECT_TRUE(view->IsRowSelected(2));
    EXPECT_EQ(view->GetSelectedCount(), 2);
    EXPECT_EQ(view->GetFocusRow(), 2); // the old focus 3, minus one
    view->OnEditMoveDown();
    EXPECT_EQ(doc.GetRow(2).comment, QStringLiteral("row 3"));
    EXPECT_EQ(view->GetFocusRow(), 3);
}

TEST_F(ViewTest, MovesAfterAModifierWentUpOutsideTheGridKeepToTheSelectedRows)
{
    struct Case
    {
        const char* name;
        bool down;
        int from, to;               // the click, then the Shift+click
        std::vector<QString> after; // the comments after two moves
        std::vector<int> selected;
    } cases[] = {
        {"down", true, 1, 2, {"row 1", "row 4", "row 5", "row 2", "row 3"}, {3, 4}},
        {"up", false, 3, 2, {"row 3", "row 4", "row 1", "row 2", "row 5"}, {0, 1}},
    };
    for (const Case& c : cases)
    {
        doc.ClearRows();
        AddRows(5);
        view->show();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                          view->CellPoint(1, c.from));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          view->CellPoint(1, c.to));
        ASSERT_EQ(view->GetSelectedCount(), 2) << c.name;
        // Shift goes up while another window has the keyboard; the grid never sees it.
        QWidget other;
        other.show();
        QTest::keyRelease(&other, Qt::Key_Shift);
        for (int i = 0; i < 2; ++i)
            c.down ? view->OnEditMoveDown() : view->OnEditMoveUp();
        std::vector<QString> comments;
        for (int row = 0; row < doc.GetRowCount(); ++row)
            comments.push_back(doc.GetRow(row).comment);
        EXPECT_EQ(comments, c.after) << c.name;
        std::vector<int> selected;
        for (int i = 0; i < view->GetSelectedCount(); ++i)
            selected.push_back(view->GetSelectedRow(i));
        std::sort(selected.begin(), selected.end());
        EXPECT_EQ(selected, c.selected) << c.name;
    }
}

TEST_F(ViewTest, CuttingTheLastRowsMovesTheFocusToTheEmptyLine)
{
    AddRows(5);
    Select({3, 4});
    view->OnEditCut();
    EXPECT_EQ(doc.GetRowCount(), 3);
    EXPECT_EQ(view->GetLineCount(), 3);
    EXPECT_EQ(view->GetFocusRow(), 3);
    EXPECT_EQ(view->GetSelectedCount(), 0);
    EXPECT_TRUE(view->CanPaste());

    // Pasting at the focus puts the rows back at the end, selected.
    view->OnEditPaste();
    EXPECT_EQ(doc.GetRowCount(), 5);
    EXPECT_EQ(view->GetLineCount(), 5);
    EXPECT_EQ(view->GetCell(ColumnComment, 4)->text, QStringLiteral("row 5"));
    EXPECT_EQ(view->GetSelectedCount(), 2);
    EXPECT_EQ(view->GetFocusRow(), 3);
}

TEST_F(ViewTest, ANewDocumentPutsTheFocusOnTheEmptyLine)
{
    AddRows(6);
    Select({5});
    doc.DeleteContents();
    EXPECT_EQ(view->GetLineCount(), 0);
    EXPECT_EQ(view->GetFocusRow(), 0);
    EXPECT_EQ(view->GetSelectedCount(), 0);
}

TEST_F(ViewTest, DeleteKeyRemovesTheSelectedRows)
{
    AddRows(4);
    Select({1});
    QTest::keyClick(view.get(), Qt::Key_Delete);
    QCoreApplication::processEvents();
    EXPECT_EQ(doc.GetRowCount(), 3);
    EXPECT_EQ(view->GetCell(ColumnComment, 1)->text, QStringLiteral("row 3"));
    EXPECT_EQ(view->GetFocusRow(), 1);
    EXPECT_TRUE(view->IsRowSelected(1));
}

TEST_F(ViewTest, PictureCellsDrawThumbnailsAndNothingForMissingFiles)
{
    AddRows(2);
    doc.SetCellText(0, ColumnImage1, picture, false);
    doc.SetCellText(1, ColumnImage1, folder + QStringLiteral("/input/bmp/gone.bmp"), false);
    view->RefreshAll();
    QTest::keyClick(view.get(), Qt::Key_Escape);
    view->SetFocusRow(5, false); // the focus on the empty line
    const QImage image = view->Render();
    const QRect present = view->GetCellRect(ColumnImage1, 0);
    const QRect missing = view->GetCellRect(ColumnImage1, 1);
    // 130 x 97 cell: a 129 x 97 thumbnail, red above blue.
    EXPECT_EQ(QColor(image.pixel(present.left() + 10, present.top() + 10)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(image.pixel(present.left() + 10, present.bottom() - 5)), QColor(0, 0, 255));
    const QColor empty(image.pixel(missing.left() + 10, missing.top() + 10));
    EXPECT_EQ(empty, QColor(Qt::white));
    // The text of the path is not drawn either.
    for (int x = missing.left(); x < missing.right(); ++x)
        ASSERT_EQ(QColor(image.pixel(x, missing.center().y())), QColor(Qt::white)) << x;

    // Painting again decodes nothing; a changed file is decoded again.
    const int decodes = view->Thumbnails().Decodes();
    view->Render();
    EXPECT_EQ(view->Thumbnails().Decodes(), decodes);
    QByteArray changed = GuideBitmap();
    changed.append(QByteArray(16, '\0'));
    TestSupport::WriteFile(picture, changed);
    view->Render();
    EXPECT_EQ(view->Thumbnails().Decodes(), decodes + 1);
}

TEST_F(ViewTest, DroppedFilesGoOnlyIntoTheirColumns)
{
    AddRows(2);
    std::unique_ptr<QMimeData> wave(FileDrop(voice));
    std::unique_ptr<QMimeData> bitmap(FileDrop(picture));
    struct Case
    {
        QMimeData* data;
        int column;
        int line;
        Qt::DropAction action;
    } cases[] = {
        {wave.get(), ColumnImage1, 0, Qt::IgnoreAction},
        {wave.get(), ColumnVoice, 0, Qt::CopyAction},
        {bitmap.get(), ColumnImage2, 1, Qt::CopyAction},
        {bitmap.get(), ColumnVoice, 1, Qt::IgnoreAction},
        {bitmap.get(), ColumnComment, 1, Qt::IgnoreAction},
        {bitmap.get(), ColumnImage1, 2, Qt::IgnoreAction}, // the empty line
    };
    for (const Case& c : cases)
    {
        QDragEnterEvent enter(view->CellPoint(c.column, c.line), Qt::CopyAction | Qt::MoveAction,
                              c.data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &enter);
        EXPECT_TRUE(enter.isAccepted()) << c.column << "," << c.line;
        EXPECT_EQ(enter.dropAction(), c.action) << c.column << "," << c.line;
        EXPECT_EQ(view->OnDragOver(c.data, view->CellPoint(c.column, c.line)), c.action);
    }
    view->OnDragLeave();
    EXPECT_EQ(view->DropHighlightRow(), -1);

    // Refused over column 4: nothing stored.
    EXPECT_EQ(view->OnDragOver(wave.get(), view->CellPoint(ColumnImage1, 0)), Qt::IgnoreAction);
    EXPECT_FALSE(view->OnDrop(wave.get(), view->CellPoint(ColumnImage1, 0), Qt::IgnoreAction));
    EXPECT_TRUE(doc.GetRow(0).image1[0].isEmpty());

    // Over column 6 the voice is checked and stored.
    QDragEnterEvent enter(view->CellPoint(ColumnVoice, 0), Qt::CopyAction, wave.get(),
                          Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view->viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    EXPECT_EQ(view->DropHighlightRow(), 0);
    EXPECT_EQ(view->DropHighlightColumn(), ColumnVoice);
    QDropEvent drop(view->CellPoint(ColumnVoice, 0), Qt::CopyAction, wave.get(), Qt::LeftButton,
                    Qt::NoModifier);
    QCoreApplication::sendEvent(view->viewport(), &drop);
    EXPECT_EQ(doc.GetRow(0).voice[0], voice);
    EXPECT_EQ(view->GetCell(ColumnVoice, 0)->text, voice);
    EXPECT_EQ(view->DropHighlightRow(), -1);
    EXPECT_TRUE(messages.shown().isEmpty());
}

// A drag from a file manager enters over the header and crosses other cells before it
// reaches its cell: the events go through the window, as the platform delivers them.
TEST_F(ViewTest, ADragThatCrossesOtherCellsLandsWhereItIsReleased)
{
    AddRows(2);
    std::unique_ptr<QMimeData> wave(FileDrop(voice));
    QWindow* window = view->windowHandle();
    ASSERT_NE(window, nullptr);
    const auto at = [&](const QPoint& point) { return view->viewport()->mapTo(view.get(), point); };
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    const QPoint header = at(QPoint(view->CellPoint(ColumnComment, 0).x(), 2));

    QDragEnterEvent enter(header, offered, wave.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    struct Step
    {
        int column;
        int line;
        bool accepted;
    } steps[] = {
        {ColumnComment, 0, false},     {ColumnImage1, 0, false}, {ColumnVoice, 1, true},
        {ColumnDescription, 1, false}, {ColumnVoice, 0, true},
    };
    for (const Step& step : steps)
    {
        QDragMoveEvent move(at(view->CellPoint(step.column, step.line)), offered, wave.get(),
                            Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &move);
        EXPECT_EQ(move.isAccepted(), step.accepted) << step.column << "," << step.line;
        EXPECT_EQ(view->DropHighlightRow(), step.accepted ? step.line : -1);
    }
    QDropEvent drop(at(view->CellPoint(ColumnVoice, 0)), offered, wave.get(), Qt::LeftButton,
                    Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
    EXPECT_EQ(doc.GetRow(0).voice[0], voice);
    EXPECT_TRUE(doc.GetRow(1).voice[0].isEmpty());
    EXPECT_EQ(view->DropHighlightRow(), -1);
}

TEST_F(ViewTest, WhileADropHighlightsACellTheFocusShowsInTheInactiveColours)
{
    AddRows(2);
    view->SetFocusColumn(ColumnComment);
    view->SetFocusRow(1, true);
    std::unique_ptr<QMimeData> wave(FileDrop(voice));
    const GridColors& colors = view->Colors();
    auto fill = [&](const QImage& image, int column, int line)
    {
        const QRect cell = view->GetCellRect(column, line);
        return QColor(image.pixel(cell.right() - 1, cell.top() + 1));
    };

    QImage image = view->Render();
    EXPECT_EQ(fill(image, ColumnComment, 1), colors.activeCaption);
    EXPECT_EQ(fill(image, ColumnVoice, 0), QColor(Qt::white));

    ASSERT_EQ(view->OnDragOver(wave.get(), view->CellPoint(ColumnVoice, 0)), Qt::CopyAction);
    image = view->Render();
    EXPECT_EQ(fill(image, ColumnVoice, 0), colors.activeCaption);
    EXPECT_EQ(fill(image, ColumnComment, 1), colors.inactiveCaption);
    EXPECT_EQ(fill(image, ColumnComment, 0), QColor(Qt::white));

    // The drop over the focus cell itself shows it in the active colours.
    view->SetFocusColumn(ColumnVoice);
    ASSERT_EQ(view->OnDragOver(wave.get(), view->CellPoint(ColumnVoice, 1)), Qt::CopyAction);
    EXPECT_EQ(fill(view->Render(), ColumnVoice, 1), colors.activeCaption);

    view->OnDragLeave();
    view->SetFocusColumn(ColumnComment);
    EXPECT_EQ(fill(view->Render(), ColumnComment, 1), colors.activeCaption);
}

TEST_F(ViewTest, DropsThatFailTheirCheckOrAreTooLongAreRefused)
{
    AddRows(1);
    const QString stereo =
        TestSupport::WriteFile(folder + QStringLiteral("/input/wav/st.wav"), VoiceWave(2));
    std::unique_ptr<QMimeData> data(FileDrop(stereo));
    ASSERT_EQ(view->OnDragOver(data.get(), view->CellPoint(ColumnVoice, 0)), Qt::CopyAction);
    EXPECT_FALSE(view->OnDrop(data.get(), view->CellPoint(ColumnVoice, 0), Qt::CopyAction));
    EXPECT_TRUE(doc.GetRow(0).voice[0].isEmpty());
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].text, QStringLiteral("This WAV file is not monaural."));

    // A path of 259 characters is taken, one of 260 is not, wherever the test folder lies.
    struct Case
    {
        int length;
        Qt::DropAction action;
    };
    for (const Case c : {Case{259, Qt::CopyAction}, Case{260, Qt::IgnoreAction}})
    {
        const QString path = VoiceWithPathLength(folder, c.length);
        ASSERT_EQ(path.size(), c.length);
        std::unique_ptr<QMimeData> drop(FileDrop(path));
        EXPECT_EQ(view->OnDragOver(drop.get(), view->CellPoint(ColumnVoice, 0)), c.action)
            << c.length;
    }
}

TEST_F(ViewTest, SortRemembersFillInUnusedNumbers)
{
    AddRows(3);
    doc.SetCellNumber(0, ColumnItemNumber, 9);
    doc.SetCellNumber(2, ColumnItemNumber, 5);
    doc.SetModifiedFlag(false);
    view->RefreshAll();
    std::vector<bool> opened;
    bool tick = true;
    view->onSort = [&](CSortDlg& dialog)
    {
        dialog.OnInitDialog();
        opened.push_back(dialog.FillUnusedBox()->isChecked());
        dialog.FillUnusedBox()->setChecked(tick);
        dialog.OnOK();
        return IDOK;
    };
    Select({0});
    EXPECT_TRUE(view->OnUpdateEditSort());
    view->OnEditSort();
    EXPECT_EQ(doc.GetRow(0).itemNumber, 1);
    EXPECT_EQ(doc.GetRow(2).itemNumber, 3);
    EXPECT_EQ(doc.GetRow(2).comment, QStringLiteral("row 1")); // the old 9 went last
    EXPECT_EQ(view->GetFocusRow(), 2);                         // and the focus with it
    EXPECT_TRUE(view->IsRowSelected(2));
    EXPECT_TRUE(doc.IsModified());

    tick = false;
    view->OnEditSort();
    view->OnEditSort();
    EXPECT_EQ(opened, (std::vector<bool>{false, true, false}));

    // Cancel keeps the option.
    view->onSort = [](CSortDlg& dialog)
    {
        dialog.m_bRenumber = true;
        return IDCANCEL;
    };
    view->OnEditSort();
    EXPECT_FALSE(doc.GetFillUnusedNumbers());
}

TEST_F(ViewTest, PlayNeedsAWaveOnTheFocusedLine)
{
    AddRows(2);
    doc.SetCellText(1, ColumnVoice, voice, false);
    view->RefreshAll();
    Select({0});
    EXPECT_FALSE(view->OnUpdateEditPlayVoice());
    Select({1});
    EXPECT_TRUE(view->OnUpdateEditPlayVoice());
    view->OnEditPlayVoice();
    EXPECT_EQ(view->Player().GetLoadedPath(), voice);
    EXPECT_TRUE(doc.GetRow(1).playing);
    EXPECT_TRUE(view->OnUpdateEditStopVoice());
    view->OnEditStopVoice();
}

// Without a sound device the status bar says why nothing is heard, and the line is not
// marked as playing.
TEST_F(ViewTest, PlayWithoutASoundDeviceSaysSoInTheStatusBar)
{
    CMainFrame frame;
    ASSERT_EQ(frame.OnCreate(), 0);
    auto* silent = new CTOVKContEditView(doc, std::make_unique<NullWaveOut>());
    frame.SetView(silent);
    silent->OnInitialUpdate();
    AddRows(1);
    doc.SetCellText(0, ColumnVoice, voice, false);
    silent->RefreshAll();
    silent->SetFocusRow(0, true);
    const QString idle = frame.MessageText();
    silent->OnEditPlayVoice();
    EXPECT_EQ(frame.MessageText(), Strings::Load(IDS_NO_SOUND_DEVICE));
    EXPECT_NE(frame.MessageText(), idle);
    EXPECT_FALSE(doc.GetRow(0).playing);
}

TEST_F(ViewTest, FrameCommandsFollowTheUpdateRules)
{
    AddRows(3);
    auto frame = std::make_unique<CMainFrame>();
    ASSERT_EQ(frame->OnCreate(), 0);
    view->RegisterCommands(*frame);
    Select({0});
    EXPECT_FALSE(frame->OnCommand(ID_EDIT_MOVEUP));
    EXPECT_TRUE(frame->OnCommand(ID_EDIT_MOVEDOWN));
    EXPECT_EQ(doc.GetRow(1).comment, QStringLiteral("row 1"));
    QTest::keyClick(view.get(), Qt::Key_Escape);
    EXPECT_FALSE(frame->OnCommand(ID_EDIT_COPY));
    EXPECT_FALSE(frame->OnCommand(ID_EDIT_PASTE));

    // A frame that outlives the view refuses its commands.
    view.reset();
    EXPECT_FALSE(frame->OnCommand(ID_EDIT_ADD));
    EXPECT_FALSE(frame->OnCommand(ID_EDIT_SORT));
}

TEST_F(ViewTest, ASampleTableShowsItsPicturesAndTheSelectedLine)
{
    AddRows(3);
    for (int row = 0; row < 3; ++row)
    {
        doc.SetCellText(row, ColumnImage1, picture, false);
        doc.SetCellText(row, ColumnVoice, voice, false);
        doc.SetCellText(row, ColumnDescription, QStringLiteral("Line one\r\nLine two"), false);
    }
    doc.SetCellText(1, ColumnImage2, picture, false);
    view->RefreshAll();
    Select({1});
    const QImage screen = view->Render();
    const GridColors& colors = view->Colors();
    // A point a quarter of the cell's height above (-1) or below (+1) its centre.
    auto at = [&](int column, int line, int half)
    {
        const QRect cell = view->GetCellRect(column, line);
        const QPoint centre = view->CellPoint(column, line);
        return screen.pixelColor(centre + QPoint(0, half * cell.height() / 4));
    };
    for (int line = 0; line < 3; ++line)
    {
        // The guide picture: red above, blue below, in the first picture's cell of every row
        // and in the second one's only where the row has one.
        EXPECT_EQ(at(ColumnImage1, line, -1), QColor(Qt::red)) << line;
        EXPECT_EQ(at(ColumnImage1, line, 1), QColor(Qt::blue)) << line;
        const bool second = line == 1;
        EXPECT_EQ(at(ColumnImage2, line, -1) == QColor(Qt::red), second) << line;
        EXPECT_EQ(at(ColumnImage2, line, 1) == QColor(Qt::blue), second) << line;
        // Only the selected line is filled in the selection colour, across its text cells.
        const QColor comment = at(ColumnComment, line, 1);
        const bool highlighted =
            comment == colors.activeCaption || comment == colors.inactiveCaption;
        EXPECT_EQ(highlighted, line == 1) << line;
        EXPECT_EQ(comment == colors.background, line != 1) << line;
    }
}
} // namespace
