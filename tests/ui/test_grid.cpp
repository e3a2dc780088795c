// The data-bound grid over a record cursor: a large table opens at once, the
// grid and the cursor keep the same current row, cell edits land in their row.
#include "support/fixture.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "store/database.h"
#include "store/recordcursor.h"
#include "ui/boundfields.h"
#include "ui/gridmodel.h"
#include "ui/twips.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QStyledItemDelegate>

namespace {

constexpr int Rows = 100000;

class GridTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        db = Database(databasePath());
        // One statement, one transaction.
        db.execute(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
            "INSERT INTO TblApEntregues (Os, IdCliente, Nome, Aparelho, ValorCobrado, DataSaida, [Garantia de Serviço]) "
            "SELECT i, i, printf('CLIENTE %06d', i), 'TV', i * 10000 + 5000, '2024-01-15', i % 2 FROM n").arg(Rows));
        data.open(databasePath(), "TblApEntregues");
        grid.resize(600, 400);
        grid.bindCursor(&data);
        grid.setColumns({{"Os", "OS", Twips::toPixels(900)},
                         {"Nome", "Cliente", Twips::toPixels(2400)},
                         {"ValorCobrado", "Valor", 0, FieldFormat::CurrencyText, Qt::AlignRight | Qt::AlignVCenter},
                         {"DataSaida", "Saída"},
                         {"Garantia de Serviço", "Garantia", 0, FieldFormat::YesNo}});
        grid.setCaption("APARELHOS ENTREGUES");
        grid.show();
    }
    void TearDown() override {
        data.close();
        db.close();
        ProgramFolderTest::TearDown();
    }
    QString cell(int row, int column) {
        return grid.model()->index(row, column).data().toString();
    }
    Database db;
    RecordCursor data;
    DataGrid grid;
};

} // namespace

TEST_F(GridTest, ShowsFormattedColumnsOfAHugeTable) {
    EXPECT_EQ(grid.model()->rowCount(), Rows);
    EXPECT_EQ(grid.captionLabel()->text(), "APARELHOS ENTREGUES");
    EXPECT_TRUE(grid.captionLabel()->isVisible());
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal).toString(), "Cliente");
    EXPECT_EQ(grid.view()->columnWidth(0), 60);
    EXPECT_EQ(cell(0, 1), "CLIENTE 000001");
    EXPECT_EQ(cell(0, 2), "R$ 1,50");
    EXPECT_EQ(cell(0, 3), "15/01/2024");
    EXPECT_EQ(cell(0, 4), "Sim");
    EXPECT_EQ(cell(1, 4), QStringLiteral("Não"));
    EXPECT_EQ(cell(Rows - 1, 1), "CLIENTE 100000");
    // The grid starts on the cursor's row.
    EXPECT_EQ(grid.view()->currentIndex().row(), 0);
}

TEST_F(GridTest, FindMovesTheGridAndClicksMoveTheCursor) {
    ASSERT_TRUE(data.findFirst("Nome LIKE 'CLIENTE 07770*'"));
    EXPECT_EQ(data.absolutePosition(), 77699);
    EXPECT_EQ(grid.view()->currentIndex().row(), 77699);
    // The found row is on screen.
    const QRect shown = grid.view()->visualRect(grid.view()->currentIndex());
    EXPECT_TRUE(grid.view()->viewport()->rect().intersects(shown));
    EXPECT_EQ(grid.currentValue().toString().isEmpty(), false);

    // A click on a row moves the cursor there.
    const QModelIndex next = grid.model()->index(77701, 1);
    QTest::mouseClick(grid.view()->viewport(), Qt::LeftButton, {}, grid.view()->visualRect(next).center());
    EXPECT_EQ(data.absolutePosition(), 77701);
    EXPECT_EQ(data.text("Nome"), "CLIENTE 077702");
    EXPECT_EQ(grid.currentField(), "Nome");
    // Arrow keys too.
    Typing::key(grid.view(), Qt::Key_Down);
    EXPECT_EQ(data.text("Nome"), "CLIENTE 077703");
}

TEST_F(GridTest, CellEditLandsInItsRowAndBadValuesAreRefused) {
    grid.setEditable(true);
    ASSERT_TRUE(data.findFirst("Os = 54321"));
    const int row = data.absolutePosition();
    EXPECT_TRUE(grid.model()->setData(grid.model()->index(row, 1), "MARIA DA CONCEIÇÃO"));
    EXPECT_TRUE(grid.model()->setData(grid.model()->index(row, 2), "99,9"));
    EXPECT_TRUE(grid.model()->setData(grid.model()->index(row, 4), "Não"));
    const auto stored = db.rows("SELECT Nome, ValorCobrado, [Garantia de Serviço] FROM TblApEntregues WHERE Os = 54321");
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0][0].toString(), QStringLiteral("MARIA DA CONCEIÇÃO"));
    EXPECT_EQ(stored[0][1].toLongLong(), 999000);
    EXPECT_EQ(stored[0][2].toLongLong(), 0);
    // Its neighbours are untouched and the grid and the current row show it.
    EXPECT_EQ(db.scalar("SELECT Nome FROM TblApEntregues WHERE Os = 54322").toString(), "CLIENTE 054322");
    EXPECT_EQ(cell(row, 1), QStringLiteral("MARIA DA CONCEIÇÃO"));
    EXPECT_EQ(data.text("Nome"), QStringLiteral("MARIA DA CONCEIÇÃO"));

    // Typing into the cell through the view's editor.
    grid.view()->setCurrentIndex(grid.model()->index(row, 1));
    grid.view()->edit(grid.view()->currentIndex());
    auto* editor = grid.view()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText("JOÃO");
    Typing::key(editor, Qt::Key_Return);
    EXPECT_EQ(db.scalar("SELECT Nome FROM TblApEntregues WHERE Os = 54321").toString(), QStringLiteral("JOÃO"));

    // An unreadable amount is reported and nothing changes.
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Gravar");
    EXPECT_FALSE(grid.model()->setData(grid.model()->index(row, 2), "abc"));
    EXPECT_EQ(db.scalar("SELECT ValorCobrado FROM TblApEntregues WHERE Os = 54321").toLongLong(), 999000);
}

TEST_F(GridTest, ScrollingToTheEndReadsOnlyWhatIsShown) {
    // Page by page to the bottom; every shown row reads its own values.
    QScrollBar* bar = grid.view()->verticalScrollBar();
    bar->setValue(bar->maximum());
    QApplication::processEvents();
    const int last = grid.view()->rowAt(grid.view()->viewport()->height() - 2);
    EXPECT_GT(last, Rows - 30);
    EXPECT_EQ(cell(last, 0), QString::number(last + 1));
    // Requery keeps the row and the grid follows.
    data.setAbsolutePosition(Rows - 2);
    data.requery();
    EXPECT_EQ(data.absolutePosition(), Rows - 2);
    EXPECT_EQ(grid.view()->currentIndex().row(), Rows - 2);
}

namespace {

// The columns where a row of an image has ink (pixels darker than the cell's
// background), as [first, last]; {-1, -1} when none.
std::pair<int, int> inkSpan(const QImage& img, const QRect& cell) {
    int first = -1, last = -1;
    for (int x = cell.left(); x <= cell.right(); ++x)
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            if (qGray(img.pixel(x, y)) < 128) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

} // namespace

// The grid draws its cells' text itself for speed: every cell shows its text
// where the style's own drawing puts it, cut with an ellipsis the same way.
TEST_F(GridTest, CellsShowTheirTextWhereTheStyleDrawsIt) {
    QTableView* v = grid.view();
    v->setColumnWidth(1, 70);   // long names are cut
    QApplication::processEvents();
    const QImage ours = v->viewport()->grab().toImage();
    QAbstractItemDelegate* fast = v->itemDelegate();
    QStyledItemDelegate plain;
    v->setItemDelegate(&plain);
    const QImage styled = v->viewport()->grab().toImage();
    v->setItemDelegate(fast);
    if (qEnvironmentVariableIsSet("TARVEL_GRID_SHOTS")) {
        ours.save(QStringLiteral("/tmp/grid_ours.png"));
        styled.save(QStringLiteral("/tmp/grid_styled.png"));
    }
    int compared = 0;
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < grid.model()->columnCount(); ++col) {
            const QRect r = v->visualRect(grid.model()->index(row, col)).adjusted(1, 1, -1, -1);
            if (r.isEmpty() || r.right() >= ours.width()) continue;
            const auto a = inkSpan(ours, r), b = inkSpan(styled, r);
            EXPECT_EQ(a.first < 0, b.first < 0) << row << "," << col;
            if (a.first < 0 || b.first < 0) continue;
            EXPECT_NEAR(a.first, b.first, 3) << row << "," << col;
            EXPECT_NEAR(a.second, b.second, 4) << row << "," << col;
            ++compared;
        }
    EXPECT_GT(compared, 20);
}

TARVEL_TEST_MAIN()
