#include "schema.h"

#include "database.h"
#include "dberror.h"
#include "programfolder.h"

#include <QFileInfo>
#include <sqlcipher/sqlite3.h>

namespace Schema {

namespace {

using T = FieldType;

std::vector<Field> fields(std::initializer_list<Field> list) { return list; }

void add(std::vector<Field>& into, const QString& prefix, int from, int to, FieldType type) {
    for (int i = from; i <= to; ++i) into.push_back({prefix + QString::number(i), type});
}

std::vector<Field> customerCopy() {
    return fields({{"Nome", T::Text}, {"Endereco", T::Text}, {"Complemento", T::Text}, {"Bairro", T::Text},
                   {"Cidade", T::Text}, {"Estado", T::Text}, {"Cep", T::Text}, {"TelResidencia", T::Text},
                   {"TelComercial", T::Text}, {"Fax", T::Text}, {"Celular", T::Text}});
}

std::vector<Table> makeTables() {
    std::vector<Table> t;

    t.push_back({"TblConfig", fields({{"Qtde", T::Integer}, {"DtAtual", T::Date}, {"ImagemFundo", T::YesNo},
                                      {"Imagem", T::Integer}, {"LocalBackup", T::Text}}), {}});

    Table empresa{"TblEmpresa", fields({{"NomeReal", T::Text}, {"NomeFantasia", T::Text}, {"Sigla", T::Text},
                                         {"Endereco", T::Text}, {"Cep", T::Text}, {"Cidade", T::Text},
                                         {"Estado", T::Text}, {"Fone1", T::Text}, {"Fone2", T::Text},
                                         {"Fax", T::Text}, {"Email", T::Text}, {"CGC", T::Text},
                                         {"InscEstadual", T::Text}, {"InscMunicipal", T::Text}, {"Site", T::Text},
                                         {"Msg1", T::Text}, {"Msg2", T::Text}, {"Msg3", T::Text}}), {}};
    add(empresa.fields, "Aut", 1, 12, T::Text);
    t.push_back(empresa);

    t.push_back({"TblOperador", fields({{"NomeOperador", T::Text}, {"Senha", T::Long}, {"Ini", T::YesNo},
                                        {"EmOs", T::YesNo}, {"BxOs", T::YesNo}, {"Ce", T::YesNo},
                                        {"CadUsu", T::YesNo}, {"CadFunc", T::YesNo}, {"Cnf", T::YesNo},
                                        {"Rst", T::YesNo}, {"Fnr", T::YesNo}}), {"Senha"}});
    t.push_back({"TblStatus", fields({{"TipoStatus", T::Text}}), {}});
    t.push_back({"TblRestricao", fields({{"IdRestricao", T::AutoNumber}, {"IdCliente", T::Long},
                                         {"Cliente", T::Text}, {"Aparelho", T::Text}, {"Marca", T::Text},
                                         {"Modelo", T::Text}, {"NumSerie", T::Text}, {"Motivo", T::Text},
                                         {"OpRestricao", T::Text}, {"DataRestricao", T::Date}, {"Tipo", T::Text}}),
                 {"IdCliente", "NumSerie"}});
    t.push_back({"TblMarca", fields({{"Marca", T::Text}}), {}});
    t.push_back({"TblTecnicos", fields({{"NomeTecnico", T::Text}}), {}});
    t.push_back({"TblAparelhos", fields({{"Aparelho", T::Text}, {"Dpto", T::Text}}), {}});
    t.push_back({"TblDpto", fields({{"Dpto", T::Text}}), {}});
    t.push_back({"TblPrecoMObra", fields({{"Num", T::AutoNumber}, {"Aparelho", T::Text}, {"Preco", T::Currency}}), {}});

    // Every order the customers list offers has its index.
    Table clientes{"TblClientes", fields({{"Codigo", T::AutoNumber}}), {"Nome", "Endereco", "Bairro", "Cidade", "Operador"}};
    for (const Field& f : customerCopy()) clientes.fields.push_back(f);
    clientes.fields.push_back({"Email", T::Text});
    clientes.fields.push_back({"Operador", T::Text});
    clientes.fields.push_back({"DataCadastro", T::Date});
    t.push_back(clientes);

    t.push_back({"TblApClientes", fields({{"Sequencia", T::AutoNumber}, {"ID", T::Long}, {"Aparelho", T::Text},
                                          {"Marca", T::Text}, {"Modelo", T::Text}, {"NumSerie", T::Text},
                                          {"Chassis", T::Text}, {"Tensao", T::Text}}), {"ID"}});

    t.push_back({"TblRetirada", fields({{"IdRetirada", T::AutoNumber}, {"Nome", T::Text}, {"End", T::Text},
                                        {"Complemento", T::Text}, {"Bairro", T::Text}, {"Cidade", T::Text},
                                        {"Estado", T::Text}, {"TelRes", T::Text}, {"Cel", T::Text},
                                        {"Loc0", T::Text}, {"Loc1", T::Text}, {"Loc2", T::Text}, {"Ap0", T::Text},
                                        {"Marca0", T::Text}, {"Mod0", T::Text}, {"NumSerie", T::Text},
                                        {"Defeito", T::Text}, {"DataEmissao", T::Date}, {"HoraEmissao", T::Time},
                                        {"Operador", T::Text}}), {"Nome"}});

    Table mnt{"TblManutencao", fields({{"Os", T::AutoNumber}, {"IdCliente", T::Long}}),
              {"Nome", "IdCliente", "NumSerie", "DataEntrada"}};
    for (const Field& f : customerCopy()) mnt.fields.push_back(f);
    for (const Field& f : fields({{"Email", T::Text}, {"Aparelho", T::Text}, {"Marca", T::Text}, {"Modelo", T::Text},
                                  {"Chassis", T::Text}, {"NumSerie", T::Text}, {"Tensao", T::Text}, {"Dpto", T::Text},
                                  {"Defeito", T::Text}, {"EstadoAparelho", T::Text}, {"Acessorios", T::Text},
                                  {"Andamento", T::Memo}, {"Tipo", T::Text}, {"Status", T::Text},
                                  {"Tecnico", T::Text}, {"OperadorEnt", T::Text}, {"DataEntrada", T::Date},
                                  {"HoraEntrada", T::Time}, {"Atendimento", T::Text}, {"prioridade", T::Text},
                                  {"DtLmtGr", T::Date}, {"DataConcluido", T::Date}, {"Dias", T::Long},
                                  {"Via", T::Long}, {"Emocao", T::Integer}, {"Loja", T::Text},
                                  {"DataCompra", T::Text}, {"NotaFiscal", T::Text}, {"GarComplementar", T::Text}}))
        mnt.fields.push_back(f);
    add(mnt.fields, "Cod", 0, 5, T::Text);
    add(mnt.fields, "Qtde", 0, 5, T::Integer);
    add(mnt.fields, "Id", 0, 5, T::Text);
    add(mnt.fields, "Desc", 0, 5, T::Text);
    add(mnt.fields, "VlUnit", 0, 5, T::Currency);
    add(mnt.fields, "Vl", 0, 5, T::Currency);
    for (const Field& f : fields({{"VlMo", T::Currency}, {"VlTotal", T::Currency}, {"VlDesc", T::Currency},
                                  {"Percentual", T::Integer}, {"VlPercentual", T::Currency}, {"VlFinal", T::Currency},
                                  {"Obs1", T::Text}, {"Obs2", T::Text}, {"Obs3", T::Text}}))
        mnt.fields.push_back(f);
    add(mnt.fields, "Relatorio", 12, 16, T::Text);
    t.push_back(mnt);

    // The delivered appliances, in the order the checkout writes them.
    Table ent{"TblApEntregues", fields({{"IdApEntregues", T::AutoNumber}, {"IdCliente", T::Long}}),
              {"Nome", "Os", "IdCliente", "NumSerie", "DataSaida",
               // The daily update finds the warranty flags that change through it.
               "Garantia de Serviço,DATALIMITEGARANTIA"}};
    for (const Field& f : customerCopy()) ent.fields.push_back(f);
    for (const Field& f : fields({{"Aparelho", T::Text}, {"Marca", T::Text}, {"Modelo", T::Text},
                                  {"Chassis", T::Text}, {"NumSerie", T::Text}, {"Tensao", T::Text},
                                  {"Defeito", T::Text}, {"EstadoAparelho", T::Text}, {"Acessorios", T::Text},
                                  {"Dpto", T::Text}, {"Os", T::Long}, {"DataEntrada", T::Date},
                                  {"HoraEntrada", T::Time}, {"Dias", T::Long}, {"DataSaida", T::Date},
                                  {"HoraSaida", T::Time}, {"Tipo", T::Text}, {"Status", T::Text},
                                  {"DataConcluido", T::Date}, {"OperadorEnt", T::Text},
                                  {"OperadorSaida", T::Text}, {"Tecnico", T::Text}, {"Atendimento", T::Text},
                                  {"Garantia de Serviço", T::YesNo}, {"DATALIMITEGARANTIA", T::Date},
                                  {"Loja", T::Text}, {"DataCompra", T::Text}, {"NotaFiscal", T::Text},
                                  {"GarComplementar", T::Text}}))
        ent.fields.push_back(f);
    add(ent.fields, "Relatorio", 0, 4, T::Text);
    ent.fields.push_back({"Relatorio55", T::Text});
    add(ent.fields, "Relatorio", 5, 7, T::Text);
    ent.fields.push_back({"ValorCobrado", T::Currency});
    add(ent.fields, "Relatorio", 9, 16, T::Text);
    t.push_back(ent);
    return t;
}

QString columnType(FieldType type) {
    switch (type) {
    case T::Text: return QStringLiteral("TEXT COLLATE PTBR");
    case T::Memo: return QStringLiteral("LONGTEXT COLLATE PTBR");
    case T::Long: return QStringLiteral("LONG");
    case T::Integer: return QStringLiteral("SHORT");
    case T::Currency: return QStringLiteral("CURRENCY");
    case T::Date: return QStringLiteral("DATETEXT");
    case T::Time: return QStringLiteral("TIMETEXT");
    case T::YesNo: return QStringLiteral("YESNO");
    case T::AutoNumber: return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    }
    return {};
}

QString ident(const QString& name) { return QLatin1Char('"') + name + QLatin1Char('"'); }

// An index entry names one field, or several joined by commas.
QString indexName(const Table& t, const QString& idx) {
    return QStringLiteral("Idx%1%2").arg(t.name, QString(idx).remove(QLatin1Char(',')).remove(QLatin1Char(' ')));
}

QString indexSql(const Table& t, const QString& idx) {
    QStringList cols;
    for (const QString& f : idx.split(QLatin1Char(','))) cols << ident(f);
    return QStringLiteral("CREATE INDEX %1 ON %2 (%3)").arg(ident(indexName(t, idx)), ident(t.name), cols.join(QStringLiteral(", ")));
}

} // namespace

const std::vector<Table>& tables() {
    static const std::vector<Table> all = makeTables();
    return all;
}

const Table* table(const QString& name) {
    for (const Table& t : tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

void createTables(Database& db) {
    static const QStringList zeroDefaults = {"Dias", "Via", "Emocao"};
    for (const Table& t : tables()) {
        QStringList cols;
        for (const Field& f : t.fields) {
            QString col = ident(f.name) + QLatin1Char(' ') + columnType(f.type);
            if (t.name == QLatin1String("TblManutencao") && zeroDefaults.contains(f.name)) col += QStringLiteral(" DEFAULT 0");
            cols << col;
        }
        db.execute(QStringLiteral("CREATE TABLE %1 (%2)").arg(ident(t.name), cols.join(QStringLiteral(", "))));
        for (const QString& idx : t.indexes) db.execute(indexSql(t, idx));
    }
}

void addMissingIndexes(Database& db) {
    // Files made before an index was added get it the first time they are
    // opened; a file that cannot be written now gets it another time.
    try {
        for (const Table& t : tables())
            for (const QString& idx : t.indexes) {
                const QString name = indexName(t, idx);
                if (db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name = ?"), {name}).toInt() == 0 &&
                    db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?"), {t.name}).toInt() == 1)
                    db.execute(indexSql(t, idx));
            }
    } catch (const DbError&) {
    }
}

long long passwordToStored(long long password) {
    return QString::number(password, 8).toLongLong();
}

void insertDeliveredRows(Database& db) {
    db.execute(QStringLiteral(
                   "INSERT INTO TblEmpresa (NomeReal, NomeFantasia, Sigla, Endereco, Cep, Cidade, Estado, Fone1, "
                   "Fone2, Fax, Email, CGC, InscEstadual, InscMunicipal, Site, Msg1, Msg2, Msg3) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
               {QStringLiteral("ASSISTÊNCIA TÉCNICA (RAZÃO SOCIAL)"), QStringLiteral("ASSISTÊNCIA TÉCNICA"),
                QStringLiteral("AT"), QStringLiteral("RUA (ENDEREÇO DA LOJA), 0"), QStringLiteral("00000-000"),
                QStringLiteral("SÃO PAULO"), QStringLiteral("SP"), QStringLiteral("(00) 0000-0000"), QString(),
                QString(), QString(), QStringLiteral("00.000.000/0000-00"), QString(), QString(), QString(),
                QStringLiteral("O APARELHO NÃO RETIRADO EM 90 DIAS SERÁ CONSIDERADO ABANDONADO."),
                QStringLiteral("A GARANTIA DO SERVIÇO COBRE APENAS AS PEÇAS SUBSTITUÍDAS."),
                QStringLiteral("APRESENTE ESTE CANHOTO NA RETIRADA DO APARELHO.")});
    db.execute(QStringLiteral("INSERT INTO TblConfig (Qtde, DtAtual, ImagemFundo, Imagem, LocalBackup) "
                              "VALUES (0, NULL, 1, 1, NULL)"));
    for (const char* status : {"PRONTO", "EM SERVIÇO", "SEM CONSERTO"})
        db.execute(QStringLiteral("INSERT INTO TblStatus (TipoStatus) VALUES (?)"), {QString::fromUtf8(status)});
    db.execute(QStringLiteral("INSERT INTO TblDpto (Dpto) VALUES ('OUTROS')"));
    db.execute(QStringLiteral("INSERT INTO TblOperador (NomeOperador, Senha, Ini, EmOs, BxOs, Ce, CadUsu, CadFunc, "
                              "Cnf, Rst, Fnr) VALUES ('ADMINISTRADOR', ?, 1, 1, 1, 1, 1, 1, 1, 1, 1)"),
               {passwordToStored(1234)});
}

void createDatabaseFile(const QString& path, const QString& password) {
    if (QFileInfo::exists(path))
        throw DbError(3204, QStringLiteral("O banco de dados '%1' já existe.").arg(path), dbErrorSource());
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = engineCause(sqlite3_extended_errcode(raw), QString::fromUtf8(sqlite3_errmsg(raw)));
        sqlite3_close(raw);
        throw DbError(rc, msg, dbErrorSource());
    }
    const QByteArray key = (password.isEmpty() ? QString::fromUtf8(DatabasePassword) : password).toUtf8();
    sqlite3_key(raw, key.constData(), int(key.size()));
    registerTextFunctions(raw);
    // The schema goes in through a temporary marker table so that the
    // regular open (which looks for TblConfig) can be used for the rest.
    rc = sqlite3_exec(raw, "PRAGMA journal_mode=DELETE; CREATE TABLE TblConfig (Qtde SHORT)", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    if (rc != SQLITE_OK) throw DbError(rc, QStringLiteral("Não foi possível criar o banco de dados."), dbErrorSource());

    Database db(path, QStringLiteral("Access 2000;pwd=") + QString::fromUtf8(key));
    Transaction tx(db);
    db.execute(QStringLiteral("DROP TABLE TblConfig"));
    createTables(db);
    insertDeliveredRows(db);
    tx.commit();
}

}
