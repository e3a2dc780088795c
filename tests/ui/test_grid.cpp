// The data-bound grid: a large table at once, its row in step with the cursor's, cell edits.
#include "support/fixture.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "store/database.h"
#include "store/recordcursor.h"
#include "ui/gridmodel.h"
#include "ui/twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QTest>

namespace {

constexpr int Rows = 100000;

class GridTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        db = Database(databasePath());
        db.execute(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
            "INSERT INTO TblApEntregues (Os, IdCliente, Nome, Aparelho, ValorCobrado, DataSaida, [Garantia de Serviço]) "
            "SELECT i, i, printf('CLIENTE %06d', i), 'TV', i * 10000 + 5000, '2024-01-15', i % 2 FROM n").arg(Rows));
        data.open(databasePath(), "TblApEntregues");
        grid.resize(600, 400);
        grid.bindCursor(&data);
        grid.setColumns({{"Os", "OS", Twips::toPixels(900)},
                         {"Nome", "Cliente"},
                         {"ValorCobrado", "Valor", 0, FieldFormat::CurrencyText, Qt::AlignRight | Qt::AlignVCenter},
                         {"DataSaida", "Saída"},
                         {"Garantia de Serviço", "Garantia", 0, FieldFormat::YesNo}});
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

TEST_F(GridTest, ShowsAHugeTableAndKeepsItsRowInStepWithTheCursor) {
    EXPECT_EQ(grid.model()->rowCount(), Rows);
    EXPECT_EQ(cell(0, 2), "R$ 1,50");
    EXPECT_EQ(cell(0, 3), "15/01/2024");

    // A find moves the grid there and shows the row.
    ASSERT_TRUE(data.findFirst("Nome LIKE 'CLIENTE 07770*'"));
    EXPECT_EQ(grid.view()->currentIndex().row(), 77699);
    const QRect shown = grid.view()->visualRect(grid.view()->currentIndex());
    EXPECT_TRUE(grid.view()->viewport()->rect().intersects(shown));
    // A click and the arrow keys move the cursor.
    const QModelIndex next = grid.model()->index(77701, 1);
    QTest::mouseClick(grid.view()->viewport(), Qt::LeftButton, {}, grid.view()->visualRect(next).center());
    EXPECT_EQ(data.text("Nome"), "CLIENTE 077702");
    Typing::key(grid.view(), Qt::Key_Down);
    EXPECT_EQ(data.text("Nome"), "CLIENTE 077703");

    // The last page reads its own rows; a requery keeps the row.
    QScrollBar* bar = grid.view()->verticalScrollBar();
    bar->setValue(bar->maximum());
    QApplication::processEvents();
    const int last = grid.view()->rowAt(grid.view()->viewport()->height() - 2);
    EXPECT_GT(last, Rows - 30);
    EXPECT_EQ(cell(last, 1), QStringLiteral("CLIENTE %1").arg(last + 1, 6, 10, QLatin1Char('0')));
    data.setAbsolutePosition(Rows - 2);
    data.requery();
    EXPECT_EQ(grid.view()->currentIndex().row(), Rows - 2);

    // The row headers show no text; the column titles are shown text only.
    EXPECT_EQ(grid.model()->headerData(0, Qt::Vertical).toString(), "");
    EXPECT_FALSE(grid.model()->headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());
    // A heading shows over the grid while it has a text.
    auto* heading = grid.findChild<QLabel*>("Caption");
    for (const QString& text : {QStringLiteral("MANUTENÇÕES ANTERIORES"), QString()}) {
        grid.setCaption(text);
        EXPECT_EQ(heading->isVisibleTo(&grid), !text.isEmpty()) << text.toStdString();
    }

    // A grid bound to the open cursor without chosen columns shows every field of every row at once.
    DataGrid every;
    every.bindCursor(&data);
    EXPECT_EQ(every.model()->rowCount(), Rows);
    EXPECT_EQ(every.model()->columnCount(), data.fieldNames().size());
    EXPECT_EQ(every.model()->headerData(data.fieldIndex("Nome"), Qt::Horizontal).toString(), "Nome");
}

TEST_F(GridTest, CellEditLandsInItsRowAndBadValuesAreRefused) {
    grid.setEditable(true);
    ASSERT_TRUE(data.findFirst("Os = 54321"));
    const int row = data.absolutePosition();
    EXPECT_TRUE(grid.model()->setData(grid.model()->index(row, 2), "99,9"));
    EXPECT_TRUE(grid.model()->setData(grid.model()->index(row, 4), "Não"));
    // Typing into the cell through the view's editor.
    grid.view()->setCurrentIndex(grid.model()->index(row, 1));
    grid.view()->edit(grid.view()->currentIndex());
    auto* editor = grid.view()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText("JOÃO");
    Typing::key(editor, Qt::Key_Return);
    const auto stored = db.rows("SELECT Os, Nome, ValorCobrado, [Garantia de Serviço] FROM TblApEntregues "
                                "WHERE Os IN (54321, 54322) ORDER BY Os");
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0][1].toString(), QStringLiteral("JOÃO"));
    EXPECT_EQ(stored[0][2].toLongLong(), 999000);
    EXPECT_EQ(stored[0][3].toLongLong(), 0);
    EXPECT_EQ(stored[1][1].toString(), "CLIENTE 054322");   // its neighbour is untouched
    EXPECT_EQ(data.text("Nome"), QStringLiteral("JOÃO"));
    // The editor gets the plain value; a yes/no cell reads as it shows.
    EXPECT_EQ(grid.model()->index(row, 2).data(Qt::EditRole).toString(), "99,9");
    EXPECT_EQ(grid.model()->index(row, 4).data(Qt::EditRole).toString(), QStringLiteral("Não"));

    // An unreadable amount is reported and nothing changes.
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Gravar");
    EXPECT_FALSE(grid.model()->setData(grid.model()->index(row, 2), "abc"));
    EXPECT_EQ(db.scalar("SELECT ValorCobrado FROM TblApEntregues WHERE Os = 54321").toLongLong(), 999000);
}

// A column takes the room its widest known value needs in the grid's font, on the cell the view paints (the column
// less its grid line) inside the cell's margins: the widest forms it is given, or those of its format (a time, a
// date, yes and no). A given width larger than that stays.
TEST_F(GridTest, AColumnTakesTheRoomOfItsWidestKnownValue) {
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    grid.setColumns({{"Os", "OS", 10, FieldFormat::Auto, left, {"999999"}},
                     {"Tipo", "T", 10, FieldFormat::Auto, left, {"ORÇAMENTO", "GAR. DE SERVIÇO", "GAR.DE FÁBRICA"}},
                     {"HoraSaida", "H", 10, FieldFormat::Time},
                     {"DataSaida", "D", 10, FieldFormat::ShortDate},
                     {"Garantia de Serviço", "G", 10, FieldFormat::YesNo},
                     {"Aparelho", "A", 300, FieldFormat::Auto, left, {"GAR. DE SERVIÇO"}}});
    QTableView* view = grid.view();
    const int margins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
    const struct { int column; QStringList values; } widest[] = {
        {0, {"123456", "999999"}}, {1, {"GAR. DE SERVIÇO", "GAR.DE FÁBRICA"}}, {2, {"00:48:06", "23:58:58"}},
        {3, {"28/12/2026"}}, {4, {"Sim", "Não"}}};
    for (const auto& [column, values] : widest) {
        int need = 0;
        for (const QString& v : values) need = std::max(need, view->fontMetrics().horizontalAdvance(v) + margins);
        const int cell = view->columnWidth(column) - 1;
        EXPECT_GE(cell, need) << column;
        EXPECT_LE(cell, need + 2) << column << ": just the room it needs";
    }
    EXPECT_EQ(view->columnWidth(5), 300);
}

TARVEL_TEST_MAIN()
