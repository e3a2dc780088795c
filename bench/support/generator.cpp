#include "support/generator.h"

#include "store/clock.h"
#include "store/currency.h"
#include "store/database.h"
#include "store/programfolder.h"
#include "store/schema.h"

#include <QCryptographicHash>
#include <QDate>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTime>
#include <QVariant>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <vector>

#include <fcntl.h>
#include <sqlcipher/sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

namespace BenchData {

namespace {

const QString Folder = QStringLiteral("/tmp/tarvel-bench");
constexpr std::uint64_t Seed = 0x7A4E1D2C3B5A6978ull;

// What one generated file holds and where it is kept.
struct Plan {
    QString folder;
    int customers;
    bool history;   // delivered appliances and open orders too
};

QString databaseFile(const Plan& p) { return QDir(p.folder).filePath(QString::fromUtf8(DatabaseFileName)); }
QString stampFile(const Plan& p) { return QDir(p.folder).filePath(QStringLiteral("Bd DedUvevaro.stamp")); }

// What the cached file must have been made from: data version, table
// definitions, the day and the rows.
QByteArray wantedStamp(const Plan& plan) {
    QCryptographicHash h(QCryptographicHash::Sha1);
    for (const Schema::Table& t : Schema::tables()) {
        h.addData(t.name.toUtf8());
        for (const Schema::Field& f : t.fields) {
            h.addData(f.name.toUtf8());
            h.addData(QByteArray::number(int(f.type)));
        }
        h.addData(t.indexes.join(QLatin1Char(',')).toUtf8());
    }
    return QStringLiteral("data %1 schema %2 day %3 rows %4/%5/%6\n")
        .arg(DataVersion)
        .arg(QString::fromLatin1(h.result().toHex()))
        .arg(Clock::today().toString(Qt::ISODate))
        .arg(plan.customers).arg(plan.history ? Delivered : 0).arg(plan.history ? OpenOrders : 0)
        .toUtf8();
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// --- Random choices -------------------------------------------------------

struct Rng {
    std::mt19937_64 gen;
    explicit Rng(std::uint64_t seed) : gen(seed) {}
    int below(int n) { return int(gen() % std::uint64_t(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <std::size_t N> QString pick(const char* const (&list)[N]) { return QString::fromUtf8(list[below(int(N))]); }
    QString digits(int n) {
        QString s;
        for (int i = 0; i < n; ++i) s += QChar(u'0' + below(10));
        return s;
    }
    QString letters(int n) {
        QString s;
        for (int i = 0; i < n; ++i) s += QChar(u'A' + below(26));
        return s;
    }
};

// --- Word lists -----------------------------------------------------------

const char* const FirstNames[] = {
    "MARIA", "JOSÉ", "JOÃO", "ANA", "ANTÔNIO", "FRANCISCO", "CARLOS", "PAULO", "PEDRO", "LUCAS", "LUIZ",
    "MARCOS", "LUÍS", "GABRIEL", "RAFAEL", "DANIEL", "MARCELO", "BRUNO", "EDUARDO", "FELIPE", "RAIMUNDO",
    "RODRIGO", "MANOEL", "MATEUS", "ANDRÉ", "FERNANDO", "FÁBIO", "LEONARDO", "GUSTAVO", "GUILHERME",
    "SEBASTIÃO", "JORGE", "SÉRGIO", "ROBERTO", "CLÁUDIO", "FRANCISCA", "ANTÔNIA", "ADRIANA", "JULIANA",
    "MÁRCIA", "FERNANDA", "PATRÍCIA", "ALINE", "SANDRA", "CAMILA", "AMANDA", "BRUNA", "JÉSSICA", "LETÍCIA",
    "JÚLIA", "LUCIANA", "VANESSA", "MARIANA", "GABRIELA", "VERA", "VITÓRIA", "LARISSA", "CLÁUDIA",
    "BEATRIZ", "CONCEIÇÃO", "APARECIDA", "RITA", "LÚCIA", "SIMONE", "TERESA", "HELENA", "RAQUEL", "JOSEFA",
    "IRENE", "ODETE", "ROSÂNGELA", "ÍTALO", "ÁLVARO", "OTÁVIO", "CÉSAR", "VINÍCIUS", "NATÁLIA", "MÔNICA",
    "ÉRICA", "INÊS", "ÂNGELA", "EDSON", "WAGNER", "ROSELI", "CÍCERO", "BENEDITO", "GERALDO", "IVONE",
    "TÂNIA", "DÉBORA", "REGINA", "SILVIA", "SILVANA", "SILVIO", "SILVÉRIO"};

const char* const SecondNames[] = {
    "DA CONCEIÇÃO", "APARECIDA", "DE FÁTIMA", "DAS GRAÇAS", "CARLOS", "PAULO", "LUIZ", "ANTÔNIO",
    "HENRIQUE", "EDUARDO", "CRISTINA", "LÚCIA", "HELENA", "AUGUSTO", "DE JESUS", "JOSÉ"};

const char* const Surnames[] = {
    "SILVA", "SANTOS", "OLIVEIRA", "SOUZA", "RODRIGUES", "FERREIRA", "ALVES", "PEREIRA", "LIMA", "GOMES",
    "COSTA", "RIBEIRO", "MARTINS", "CARVALHO", "ALMEIDA", "LOPES", "SOARES", "FERNANDES", "VIEIRA",
    "BARBOSA", "ROCHA", "DIAS", "NASCIMENTO", "ANDRADE", "MOREIRA", "NUNES", "MARQUES", "MACHADO", "MENDES",
    "FREITAS", "CARDOSO", "RAMOS", "GONÇALVES", "SANTANA", "TEIXEIRA", "ARAÚJO", "CONCEIÇÃO", "BRANDÃO",
    "FALCÃO", "GUIMARÃES", "LEÃO", "MAGALHÃES", "ASSUNÇÃO", "DA SILVA", "DOS SANTOS", "DE JESUS",
    "DE SOUZA", "PEIXOTO", "CAMARGO", "BATISTA", "CORRÊA", "MONTEIRO", "MOURA", "PINTO", "CAVALCANTI",
    "DUARTE", "TOLEDO", "XAVIER", "SIQUEIRA", "FONSECA"};

const char* const StreetKinds[] = {"RUA", "RUA", "RUA", "AVENIDA", "AV.", "TRAVESSA", "ALAMEDA", "ESTRADA", "PRAÇA"};

const char* const StreetNames[] = {
    "DAS FLORES", "SÃO JOÃO", "BARÃO DE MAUÁ", "SETE DE SETEMBRO", "QUINZE DE NOVEMBRO", "DOM PEDRO II",
    "TIRADENTES", "MARECHAL DEODORO", "GETÚLIO VARGAS", "JOSÉ BONIFÁCIO", "SANTOS DUMONT", "CASTRO ALVES",
    "RUI BARBOSA", "PRINCESA ISABEL", "DAS PALMEIRAS", "DOS IPÊS", "PARANÁ", "CEARÁ", "MARANHÃO",
    "BENEDITO CALIXTO", "DR. ARNALDO", "PADRE ANCHIETA", "VISCONDE DE TAUNAY", "DUQUE DE CAXIAS",
    "CONSELHEIRO CRISPINIANO", "JOAQUIM NABUCO", "MONTEIRO LOBATO", "CECÍLIA MEIRELES", "DAS ACÁCIAS",
    "DOS BANDEIRANTES", "DA CONSOLAÇÃO", "BRIGADEIRO LUÍS ANTÔNIO", "ANTÔNIO RAPOSO TAVARES"};

const char* const Complements[] = {"APTO 12", "APTO 134 BLOCO B", "CASA 2", "FUNDOS", "SALA 5", "BLOCO C APTO 41",
                                   "LOJA 3", "SOBRADO", "APTO 1502", "CASA 1"};

const char* const Districts[] = {
    "CENTRO", "VILA NOVA", "JARDIM AMÉRICA", "SÃO JOSÉ", "SANTA CRUZ", "BOA VISTA", "JARDIM PAULISTA",
    "VILA MARIANA", "IPIRANGA", "MOOCA", "TATUAPÉ", "SANTANA", "PENHA", "LAPA", "BELA VISTA", "CONSOLAÇÃO",
    "JARDIM DAS ACÁCIAS", "PARQUE SÃO JORGE", "VILA PRUDENTE", "SACOMÃ", "JABAQUARA", "BUTANTÃ",
    "PIRITUBA", "FREGUESIA DO Ó", "ITAQUERA", "SÃO MATEUS", "CAMPO LIMPO", "CIDADE ADEMAR", "PERDIZES"};

struct City {
    const char* name;
    const char* state;
    const char* ddd;
};
const City Cities[] = {
    {"SÃO PAULO", "SP", "11"}, {"GUARULHOS", "SP", "11"}, {"SANTO ANDRÉ", "SP", "11"},
    {"SÃO BERNARDO DO CAMPO", "SP", "11"}, {"OSASCO", "SP", "11"}, {"CAMPINAS", "SP", "19"},
    {"JUNDIAÍ", "SP", "11"}, {"SÃO JOSÉ DOS CAMPOS", "SP", "12"}, {"RIBEIRÃO PRETO", "SP", "16"},
    {"SOROCABA", "SP", "15"}, {"RIO DE JANEIRO", "RJ", "21"}, {"NITERÓI", "RJ", "21"},
    {"BELO HORIZONTE", "MG", "31"}, {"CURITIBA", "PR", "41"}, {"FLORIANÓPOLIS", "SC", "48"},
    {"PORTO ALEGRE", "RS", "51"}, {"GOIÂNIA", "GO", "62"}, {"BRASÍLIA", "DF", "61"}, {"SALVADOR", "BA", "71"},
    {"RECIFE", "PE", "81"}, {"FORTALEZA", "CE", "85"}, {"BELÉM", "PA", "91"}, {"MACEIÓ", "AL", "82"},
    {"JOÃO PESSOA", "PB", "83"}, {"VITÓRIA", "ES", "27"}};

struct ApplianceKind {
    const char* name;
    const char* dpto;
};
const ApplianceKind Appliances[] = {
    {"TELEVISOR", "ÁUDIO E VÍDEO"}, {"APARELHO DE SOM", "ÁUDIO E VÍDEO"}, {"DVD", "ÁUDIO E VÍDEO"},
    {"HOME THEATER", "ÁUDIO E VÍDEO"}, {"RÁDIO RELÓGIO", "ÁUDIO E VÍDEO"}, {"VIDEOCASSETE", "ÁUDIO E VÍDEO"},
    {"CAIXA AMPLIFICADA", "ÁUDIO E VÍDEO"}, {"MICROONDAS", "LINHA BRANCA"}, {"LAVADORA", "LINHA BRANCA"},
    {"FORNO ELÉTRICO", "LINHA BRANCA"}, {"LIQUIDIFICADOR", "PORTÁTEIS"}, {"BATEDEIRA", "PORTÁTEIS"},
    {"FERRO DE PASSAR", "PORTÁTEIS"}, {"VENTILADOR", "PORTÁTEIS"}, {"ASPIRADOR DE PÓ", "PORTÁTEIS"},
    {"SECADOR DE CABELO", "PORTÁTEIS"}, {"CAFETEIRA", "PORTÁTEIS"}, {"MONITOR", "INFORMÁTICA"},
    {"IMPRESSORA", "INFORMÁTICA"}, {"NOTEBOOK", "INFORMÁTICA"}, {"ESTABILIZADOR", "OUTROS"}};

const char* const Departments[] = {"ÁUDIO E VÍDEO", "LINHA BRANCA", "PORTÁTEIS", "INFORMÁTICA"};

// Made-up brands.
const char* const Brands[] = {"ARVEN", "SOLARIS", "MIRATEC", "BRASTONE", "VOLTEX", "KENDRA", "TOPLINE",
                              "NOVAK", "SONORA", "ELETRA", "MAXIMA", "PRADOLUX", "ORIÔN", "TECNOPÉ"};

const char* const Voltages[] = {"110V", "220V", "220V", "BIVOLT", "127V"};

const char* const Defects[] = {
    "NÃO LIGA", "SEM IMAGEM", "SEM SOM", "NÃO AQUECE", "DESLIGA SOZINHO", "CHIADO NO ÁUDIO",
    "NÃO LÊ DISCO", "TELA PISCANDO", "FONTE QUEIMADA", "BARULHO NO MOTOR", "CONTROLE REMOTO NÃO FUNCIONA",
    "LISTRAS NA TELA", "IMAGEM ESCURA, SOM NORMAL", "NÃO GIRA O PRATO", "VAZANDO ÁGUA", "ESQUENTA DEMAIS",
    "CHEIRO DE QUEIMADO AO LIGAR", "LIGA E DESLIGA EM SEGUIDA", "NÃO CENTRIFUGA", "TECLADO SEM RESPOSTA"};

const char* const Conditions[] = {"BOM ESTADO", "RISCADO", "TAMPA TRINCADA", "SEM PÉS", "GABINETE QUEBRADO",
                                  "USADO, COM MARCAS DE USO", "NOVO", "FALTANDO PARAFUSOS", "SEM TAMPA TRASEIRA"};

const char* const Accessories[] = {"CONTROLE REMOTO", "CABO DE FORÇA", "SEM ACESSÓRIOS", "CONTROLE E PILHAS",
                                   "FONTE EXTERNA", "PRATO GIRATÓRIO", "COPO E TAMPA", "ANTENA", "NENHUM"};

const char* const Technicians[] = {"ROBERTO", "MÁRCIO", "JOÃO CARLOS", "VAGNER", "ANDRÉ", "SEBASTIÃO"};
const char* const Operators[] = {"ADMINISTRADOR", "CÉLIA", "ROSÂNGELA", "PAULO", "JÚLIO"};

struct PartKind {
    const char* desc;
    const char* id;
    int cents;
};
const PartKind Parts[] = {
    {"TRANSISTOR DE SAÍDA HORIZONTAL", "TR", 3500}, {"CAPACITOR ELETROLÍTICO 1000UF X 25V", "CAP", 250},
    {"FLYBACK", "FBT", 9800}, {"CORREIA DO MOTOR", "COR", 1800}, {"RESISTOR 10K 1/4W", "RES", 15},
    {"CIRCUITO INTEGRADO REGULADOR", "CI", 2200}, {"FUSÍVEL 2A", "FUS", 80}, {"MAGNETRON", "MAG", 14500},
    {"DIODO RETIFICADOR 1N4007", "DIO", 30}, {"CHAVE LIGA/DESLIGA", "CH", 950}, {"PLACA FONTE COMPLETA", "PCI", 18900},
    {"UNIDADE ÓPTICA", "UO", 7500}, {"ALTO-FALANTE 8 OHMS 20W", "AF", 4200}, {"MOTOR DO VENTILADOR", "MOT", 5600},
    {"RESISTÊNCIA 1200W", "RES", 3900}, {"TERMOSTATO", "TER", 2700}, {"CABO DE FORÇA", "CAB", 1500},
    {"CONTROLE REMOTO UNIVERSAL", "CR", 3800}};

const char* const ExitNotes[] = {"APARELHO TESTADO POR 24 HORAS", "CLIENTE CIENTE DO ORÇAMENTO",
                                 "LIMPEZA INTERNA REALIZADA", "PEÇAS SUBSTITUÍDAS ENTREGUES AO CLIENTE",
                                 "GARANTIA SOMENTE DAS PEÇAS TROCADAS", "NÃO COMPENSA O CONSERTO",
                                 "AJUSTE DE FOCO E COR", "RETORNO EM GARANTIA"};

const char* const Stores[] = {"LOJAS BRASILIA", "MAGAZINE CENTRAL", "CASA DAS UTILIDADES", "ELETRO SUL",
                              "SUPERMERCADO PAULISTA"};

const char* const Progress[] = {"AGUARDANDO PEÇA DO FABRICANTE", "ORÇAMENTO PASSADO POR TELEFONE",
                                "CLIENTE NÃO ATENDE", "EM TESTE", "APROVADO PELO CLIENTE"};

// --- Customers ------------------------------------------------------------

struct Customer {
    QString nome, endereco, complemento, bairro, cidade, estado, cep, telRes, telCom, fax, celular, email;
};

QString personName(Rng& r) {
    QString name = r.pick(FirstNames);
    if (r.chance(25)) name += QLatin1Char(' ') + r.pick(SecondNames);
    name += QLatin1Char(' ') + r.pick(Surnames);
    if (r.chance(70)) name += QLatin1Char(' ') + r.pick(Surnames);
    return name.left(50);
}

QString emailFor(Rng& r, const QString& name) {
    static const char* const hosts[] = {"exemplo.com.br", "correio.net", "provedor.com", "mail.org.br"};
    QString local = name.section(QLatin1Char(' '), 0, 0) + QLatin1Char('.') + name.section(QLatin1Char(' '), -1);
    local = local.toLower().normalized(QString::NormalizationForm_D);
    QString ascii;
    for (QChar c : local)
        if (c.unicode() < 0x80) ascii += c;
    ascii.remove(QLatin1Char(' '));
    return ascii + QString::number(r.below(100)) + QLatin1Char('@') + r.pick(hosts);
}

// Customer number codigo (1-based), the same every time it is asked for.
Customer customer(int codigo) {
    Rng r(Seed ^ (std::uint64_t(codigo) * 0x9E3779B97F4A7C15ull));
    Customer c;
    c.nome = personName(r);
    c.endereco = r.pick(StreetKinds) + QLatin1Char(' ') + r.pick(StreetNames) + QStringLiteral(", ") +
                 QString::number(r.between(1, 3999));
    if (r.chance(30)) c.complemento = r.pick(Complements);
    c.bairro = r.pick(Districts);
    const City& city = r.chance(70) ? Cities[0] : Cities[r.below(int(std::size(Cities)))];
    c.cidade = QString::fromUtf8(city.name);
    c.estado = QString::fromUtf8(city.state);
    c.cep = r.digits(5) + QLatin1Char('-') + r.digits(3);
    const QString ddd = QStringLiteral("(%1) ").arg(QLatin1String(city.ddd));
    if (r.chance(80)) c.telRes = ddd + QString::number(r.between(2, 5)) + r.digits(3) + QLatin1Char('-') + r.digits(4);
    if (r.chance(35)) c.telCom = ddd + QString::number(r.between(2, 5)) + r.digits(3) + QLatin1Char('-') + r.digits(4);
    if (r.chance(5)) c.fax = ddd + QString::number(r.between(2, 5)) + r.digits(3) + QLatin1Char('-') + r.digits(4);
    if (r.chance(85)) c.celular = ddd + QLatin1Char('9') + QString::number(r.between(6, 9)) + r.digits(3) + QLatin1Char('-') + r.digits(4);
    if (r.chance(30)) c.email = emailFor(r, c.nome);
    return c;
}

QVariant orNull(const QString& s) { return s.isEmpty() ? QVariant() : QVariant(s); }

// --- Appliances and parts -------------------------------------------------

struct Appliance {
    QString aparelho, dpto, marca, modelo, chassis, numSerie, tensao, defeito, estado, acessorios;
};

Appliance appliance(Rng& r) {
    const ApplianceKind& k = Appliances[r.below(int(std::size(Appliances)))];
    Appliance a;
    a.aparelho = QString::fromUtf8(k.name);
    a.dpto = QString::fromUtf8(k.dpto);
    a.marca = r.pick(Brands);
    a.modelo = r.letters(2) + QLatin1Char('-') + r.digits(r.between(3, 5)) + (r.chance(40) ? r.letters(2) : QString());
    if (r.chance(50)) a.chassis = r.letters(2) + r.digits(r.between(4, 8));
    a.numSerie = r.letters(r.between(1, 3)) + r.digits(r.between(8, 12));
    a.tensao = r.pick(Voltages);
    a.defeito = r.pick(Defects);
    a.estado = r.pick(Conditions);
    a.acessorios = r.pick(Accessories);
    return a;
}

struct PartRow {
    QString cod, id, desc;
    int qtde = 0;
    Currency unit, value;
};

struct Service {
    std::vector<PartRow> parts;   // 0 to 5 used rows
    Currency labour, total, discount, charged;
};

// An appliance not repaired pays the estimate only.
Service service(Rng& r, bool repaired) {
    Service s;
    if (!repaired) {
        s.labour = s.total = s.charged = Currency::fromCents(r.between(2, 6) * 500);
        return s;
    }
    const int used = r.chance(15) ? 0 : r.between(1, 5);
    for (int i = 0; i < used; ++i) {
        const PartKind& p = Parts[r.below(int(std::size(Parts)))];
        PartRow row;
        row.cod = r.digits(5);
        row.id = QString::fromUtf8(p.id);
        row.desc = QString::fromUtf8(p.desc);
        row.qtde = r.chance(80) ? 1 : r.between(2, 4);
        row.unit = Currency::fromCents(p.cents);
        row.value = row.unit * row.qtde;
        s.parts.push_back(row);
        s.total += row.value;
    }
    s.labour = Currency::fromCents(r.between(3, 24) * 500);
    s.total += s.labour;
    if (r.chance(20)) s.discount = Currency::fromCents(r.between(1, 4) * 500);
    s.charged = s.total - s.discount;
    return s;
}

QString reportLine(const Service& s, int i) {
    if (i >= int(s.parts.size())) return QStringLiteral("    ");
    const PartRow& p = s.parts[std::size_t(i)];
    return p.cod + QLatin1Char(' ') + QString::number(p.qtde) + QLatin1Char(' ') + p.id + QLatin1Char(' ') + p.desc +
           QLatin1Char(' ') + p.value.toFixed();
}

QVariant money(Currency c) { return QVariant::fromValue(c); }

// --- Inserting ------------------------------------------------------------

// One prepared INSERT with its column list, run once per row.
class Insert {
public:
    Insert(sqlite3* db, const QString& table, const QStringList& columns) : m_db(db), m_columns(int(columns.size())) {
        QStringList quoted, marks;
        for (const QString& c : columns) {
            quoted << QLatin1Char('"') + c + QLatin1Char('"');
            marks << QStringLiteral("?");
        }
        const QByteArray sql = QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                   .arg(table, quoted.join(QLatin1Char(',')), marks.join(QLatin1Char(',')))
                                   .toUtf8();
        if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &m_st, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("generator: ") + sqlite3_errmsg(db) + " in " + sql.toStdString());
    }
    ~Insert() { sqlite3_finalize(m_st); }
    Insert(const Insert&) = delete;
    Insert& operator=(const Insert&) = delete;

    Insert& operator<<(const QVariant& v) {
        bindValue(m_st, ++m_bound, v);
        return *this;
    }
    void run() {
        if (m_bound != m_columns)
            throw std::runtime_error("generator: " + std::to_string(m_bound) + " values for " +
                                     std::to_string(m_columns) + " columns");
        if (sqlite3_step(m_st) != SQLITE_DONE) throw std::runtime_error(std::string("generator: ") + sqlite3_errmsg(m_db));
        sqlite3_reset(m_st);
        sqlite3_clear_bindings(m_st);
        m_bound = 0;
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_st = nullptr;
    int m_columns;
    int m_bound = 0;
};

QStringList customerColumns() {
    return {"Nome", "Endereco", "Complemento", "Bairro", "Cidade", "Estado", "Cep",
            "TelResidencia", "TelComercial", "Fax", "Celular"};
}

void bindCustomer(Insert& ins, const Customer& c) {
    ins << c.nome << orNull(c.endereco) << orNull(c.complemento) << orNull(c.bairro) << orNull(c.cidade)
        << orNull(c.estado) << orNull(c.cep) << orNull(c.telRes) << orNull(c.telCom) << orNull(c.fax)
        << orNull(c.celular);
}

void insertLists(sqlite3* db) {
    Insert marca(db, QStringLiteral("TblMarca"), {"Marca"});
    for (const char* b : Brands) (marca << QString::fromUtf8(b)).run();
    Insert aparelho(db, QStringLiteral("TblAparelhos"), {"Aparelho", "Dpto"});
    for (const ApplianceKind& k : Appliances) (aparelho << QString::fromUtf8(k.name) << QString::fromUtf8(k.dpto)).run();
    Insert dpto(db, QStringLiteral("TblDpto"), {"Dpto"});
    for (const char* d : Departments) (dpto << QString::fromUtf8(d)).run();
    Insert tecnico(db, QStringLiteral("TblTecnicos"), {"NomeTecnico"});
    for (const char* t : Technicians) (tecnico << QString::fromUtf8(t)).run();
}

void insertCustomers(sqlite3* db, const QDate& today, int count) {
    QStringList cols{"Codigo"};
    cols << customerColumns() << QStringList{"Email", "Operador", "DataCadastro"};
    Insert ins(db, QStringLiteral("TblClientes"), cols);
    Rng r(Seed + 1);
    for (int codigo = 1; codigo <= count; ++codigo) {
        const Customer c = customer(codigo);
        ins << codigo;
        bindCustomer(ins, c);
        // Registered over ten years, older customers first.
        const int daysAgo = 3650 - int(qint64(codigo) * 3650 / count) + r.below(5);
        ins << orNull(c.email) << r.pick(Operators) << today.addDays(-daysAgo);
        ins.run();
    }
}

QStringList deliveredColumns() {
    QStringList cols{"IdApEntregues", "IdCliente"};
    cols << customerColumns();
    cols << QStringList{"Aparelho", "Marca", "Modelo", "Chassis", "NumSerie", "Tensao", "Defeito",
                        "EstadoAparelho", "Acessorios", "Dpto", "Os", "DataEntrada", "HoraEntrada", "Dias",
                        "DataSaida", "HoraSaida", "Tipo", "Status", "DataConcluido", "OperadorEnt",
                        "OperadorSaida", "Tecnico", "Atendimento", "Garantia de Serviço", "DATALIMITEGARANTIA",
                        "Loja", "DataCompra", "NotaFiscal", "GarComplementar", "Relatorio0", "Relatorio1",
                        "Relatorio2", "Relatorio3", "Relatorio4", "Relatorio55", "Relatorio5", "Relatorio6",
                        "Relatorio7", "ValorCobrado", "Relatorio9", "Relatorio10", "Relatorio11",
                        "Relatorio12", "Relatorio13", "Relatorio14", "Relatorio15", "Relatorio16"};
    return cols;
}

QString orderType(Rng& r) {
    const int k = r.below(100);
    if (k < 75) return QStringLiteral("ORÇAMENTO");
    if (k < 90) return QStringLiteral("GAR. DE SERVIÇO");
    return QStringLiteral("GAR.DE FÁBRICA");
}

QTime workTime(Rng& r) { return QTime(r.between(8, 17), r.below(60), r.below(60)); }

void insertDelivered(sqlite3* db, const QDate& today) {
    Insert ins(db, QStringLiteral("TblApEntregues"), deliveredColumns());
    Insert owned(db, QStringLiteral("TblApClientes"),
                 {"ID", "Aparelho", "Marca", "Modelo", "NumSerie", "Chassis", "Tensao"});
    Rng r(Seed + 2);
    constexpr int Span = 3 * 365;
    for (int n = 1; n <= Delivered; ++n) {
        const int idCliente = r.between(1, Customers);
        const Customer c = customer(idCliente);
        const Appliance a = appliance(r);
        const QString tipo = orderType(r);
        const QString status = r.chance(88) ? QStringLiteral("PRONTO") : QStringLiteral("SEM CONSERTO");
        const Service s = service(r, status == QLatin1String("PRONTO"));
        // Exits in order over the last three years; entries up to two months before.
        const QDate saida = today.addDays(-(Span - int(qint64(n) * Span / Delivered)));
        const int days = r.between(1, 60);
        const QDate entrada = saida.addDays(-days);
        const QDate concluido = saida.addDays(-r.between(0, std::min(days, 10)));
        // Warranty as the checkout writes it.
        bool warranty = false;
        QDate limit = saida;
        if (status == QLatin1String("SEM CONSERTO") || tipo == QLatin1String("GAR.DE FÁBRICA")) {
            warranty = false;
        } else if (tipo == QLatin1String("GAR. DE SERVIÇO")) {
            limit = saida.addDays(r.between(-30, 90));
            warranty = limit >= saida;
        } else {
            static const int choices[] = {30, 90, 90, 90, 180, 365};
            limit = saida.addDays(choices[r.below(6)]);
            warranty = true;
        }
        // The flag as the daily update leaves it.
        warranty = warranty && limit >= today;
        const bool factory = tipo == QLatin1String("GAR.DE FÁBRICA");

        ins << n << idCliente;
        bindCustomer(ins, c);
        ins << a.aparelho << a.marca << a.modelo << orNull(a.chassis) << a.numSerie << a.tensao << a.defeito
            << a.estado << a.acessorios << a.dpto << n << entrada << workTime(r) << days << saida << workTime(r)
            << tipo << status << concluido << r.pick(Operators) << r.pick(Operators) << r.pick(Technicians)
            << (r.chance(90) ? QStringLiteral("INTERNO") : QStringLiteral("EXTERNO")) << warranty << limit;
        if (factory) {
            ins << r.pick(Stores) << entrada.addDays(-r.between(10, 300)).toString(QStringLiteral("dd/MM/yyyy"))
                << r.digits(6) << (r.chance(30) ? QStringLiteral("GARANTIA ESTENDIDA 12 MESES") : QString());
        } else {
            ins << QVariant() << QVariant() << QVariant() << QVariant();
        }
        for (int i = 0; i < 6; ++i) ins << reportLine(s, i);
        ins << QStringLiteral("R$") + s.labour.toFixed() << s.total.toCurrencyText() << s.discount.toFixed()
            << money(s.charged);
        ins << r.pick(ExitNotes) << (r.chance(40) ? r.pick(ExitNotes) : QString())
            << (r.chance(10) ? r.pick(ExitNotes) : QString());
        for (int i = 12; i <= 16; ++i) ins << QVariant();
        ins.run();

        owned << idCliente << a.aparelho << a.marca << a.modelo << a.numSerie << orNull(a.chassis) << a.tensao;
        owned.run();
    }
}

void insertOpenOrders(sqlite3* db, const QDate& today) {
    QStringList cols{"Os", "IdCliente"};
    cols << customerColumns();
    cols << QStringList{"Email", "Aparelho", "Marca", "Modelo", "Chassis", "NumSerie", "Tensao", "Dpto",
                        "Defeito", "EstadoAparelho", "Acessorios", "Andamento", "Tipo", "Status", "Tecnico",
                        "OperadorEnt", "DataEntrada", "HoraEntrada", "Atendimento", "prioridade", "DtLmtGr",
                        "DataConcluido", "Dias", "Via", "Emocao", "Loja", "DataCompra", "NotaFiscal",
                        "GarComplementar"};
    for (const char* prefix : {"Cod", "Qtde", "Id", "Desc", "VlUnit", "Vl"})
        for (int i = 0; i <= 5; ++i) cols << QString::fromLatin1(prefix) + QString::number(i);
    cols << QStringList{"VlMo", "VlTotal", "VlDesc", "Percentual", "VlPercentual", "VlFinal", "Obs1", "Obs2", "Obs3"};
    Insert ins(db, QStringLiteral("TblManutencao"), cols);
    Insert owned(db, QStringLiteral("TblApClientes"),
                 {"ID", "Aparelho", "Marca", "Modelo", "NumSerie", "Chassis", "Tensao"});
    Rng r(Seed + 3);
    for (int n = 1; n <= OpenOrders; ++n) {
        const int idCliente = r.between(1, Customers);
        const Customer c = customer(idCliente);
        const Appliance a = appliance(r);
        const QString tipo = orderType(r);
        // Entries over the past year, older orders first.
        const QDate entrada = today.addDays(-(365 - int(qint64(n) * 365 / OpenOrders)));
        const int k = r.below(100);
        const QString status = k < 55 ? QStringLiteral("EM SERVIÇO") : k < 90 ? QStringLiteral("PRONTO")
                                                                             : QStringLiteral("SEM CONSERTO");
        const Service s = service(r, status != QLatin1String("SEM CONSERTO"));
        const bool done = status != QLatin1String("EM SERVIÇO");
        const bool factory = tipo == QLatin1String("GAR.DE FÁBRICA");

        ins << Delivered + n << idCliente;
        bindCustomer(ins, c);
        ins << orNull(c.email) << a.aparelho << a.marca << a.modelo << orNull(a.chassis) << a.numSerie << a.tensao
            << a.dpto << a.defeito << a.estado << a.acessorios
            << (r.chance(40) ? r.pick(Progress) + QStringLiteral("\r\n") + r.pick(Progress) : QString())
            << tipo << status << r.pick(Technicians) << r.pick(Operators) << entrada << workTime(r)
            << (r.chance(90) ? QStringLiteral("INTERNO") : QStringLiteral("EXTERNO"))
            << (r.chance(10) ? QStringLiteral("URGENTE") : QStringLiteral("NORMAL"))
            << (tipo == QLatin1String("GAR. DE SERVIÇO") ? QVariant(entrada.addDays(r.between(-20, 90))) : QVariant())
            << (done ? QVariant(entrada.addDays(r.between(0, std::max(0, int(entrada.daysTo(today)))))) : QVariant())
            << int(entrada.daysTo(today)) << r.between(1, 2) << r.between(0, 3);
        if (factory) {
            ins << r.pick(Stores) << entrada.addDays(-r.between(10, 300)).toString(QStringLiteral("dd/MM/yyyy"))
                << r.digits(6) << QVariant();
        } else {
            ins << QVariant() << QVariant() << QVariant() << QVariant();
        }
        const auto part = [&](int i) -> const PartRow* {
            return done && i < int(s.parts.size()) ? &s.parts[std::size_t(i)] : nullptr;
        };
        for (int i = 0; i <= 5; ++i) ins << (part(i) ? QVariant(part(i)->cod) : QVariant());
        for (int i = 0; i <= 5; ++i) ins << (part(i) ? QVariant(part(i)->qtde) : QVariant());
        for (int i = 0; i <= 5; ++i) ins << (part(i) ? QVariant(part(i)->id) : QVariant());
        for (int i = 0; i <= 5; ++i) ins << (part(i) ? QVariant(part(i)->desc) : QVariant());
        for (int i = 0; i <= 5; ++i) ins << (part(i) ? money(part(i)->unit) : QVariant());
        for (int i = 0; i <= 5; ++i) ins << (part(i) ? money(part(i)->value) : QVariant());
        if (done) {
            ins << money(s.labour) << money(s.total) << money(s.discount) << 0 << money(Currency())
                << money(s.charged);
        } else {
            for (int i = 0; i < 6; ++i) ins << QVariant();
        }
        ins << (done ? QVariant(r.pick(ExitNotes)) : QVariant()) << QVariant() << QVariant();
        ins.run();

        owned << idCliente << a.aparelho << a.marca << a.modelo << a.numSerie << orNull(a.chassis) << a.tensao;
        owned.run();
    }
}

void generate(const QString& path, const Plan& plan) {
    const QDate today = Clock::today();
    Schema::createDatabaseFile(path);
    Database db(path, QString::fromUtf8(ConnectWithPassword));
    sqlite3* raw = db.handle();
    // A throw-away file: no need to wait for the disk, and a large cache
    // keeps the index inserts in memory.
    sqlite3_exec(raw, "PRAGMA synchronous=OFF; PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    Transaction tx(db);
    insertLists(raw);
    insertCustomers(raw, today, plan.customers);
    if (plan.history) {
        insertDelivered(raw, today);
        insertOpenOrders(raw, today);
    }
    tx.commit();
}

// Holds an exclusive lock on a file while alive.
class FileLock {
public:
    explicit FileLock(const QString& path) {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (m_fd < 0) throw std::runtime_error("generator: cannot open " + path.toStdString());
        ::flock(m_fd, LOCK_EX);
    }
    ~FileLock() { ::close(m_fd); }

private:
    int m_fd = -1;
};

void removeWithLock(const QString& dbPath) {
    QFile::remove(dbPath);
    QFile::remove(dbPath.left(dbPath.size() - 4) + QStringLiteral(".ldb"));
}

QString ensure(const Plan& plan) {
    const QString& folder = plan.folder;
    if (!QDir().mkpath(folder)) throw std::runtime_error("generator: cannot make " + folder.toStdString());
    FileLock lock(QDir(folder).filePath(QStringLiteral("generator.lock")));
    const QString file = databaseFile(plan);
    const QByteArray wanted = wantedStamp(plan);
    if (QFile::exists(file) && readAll(stampFile(plan)) == wanted) return file;

    std::fprintf(stderr, "Generating the benchmark database in %s ...\n", qPrintable(folder));
    QElapsedTimer timer;
    timer.start();
    const QString work = QDir(folder).filePath(QStringLiteral("Bd DedUvevaro.generating.mdb"));
    removeWithLock(work);
    try {
        generate(work, plan);
    } catch (...) {
        removeWithLock(work);
        throw;
    }
    QFile::remove(stampFile(plan));
    QFile::remove(file);
    if (!QFile::rename(work, file)) throw std::runtime_error("generator: cannot rename " + work.toStdString());
    removeWithLock(work);
    QFile stamp(stampFile(plan));
    if (!stamp.open(QIODevice::WriteOnly) || stamp.write(wanted) != wanted.size())
        throw std::runtime_error("generator: cannot write " + stampFile(plan).toStdString());
    std::fprintf(stderr, "Generated %d customers, %d delivered appliances and %d open orders in %.1f s.\n",
                 plan.customers, plan.history ? Delivered : 0, plan.history ? OpenOrders : 0,
                 double(timer.elapsed()) / 1000.0);
    return file;
}

} // namespace

QString ensureDatabase() { return ensure({Folder, Customers, true}); }

namespace {
// Kept in the build folder (beside the benchmark programs' folder).
QString keptFolder(const char* name) {
    return QDir::cleanPath(QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QString::fromLatin1(name)));
}
}

QString ensureLargeCustomers() { return ensure({keptFolder("../bench-data"), LargeCustomers, false}); }

QString ensureSmallCustomers() { return ensure({keptFolder("../bench-data/small"), SmallCustomers, false}); }

QString copyDatabase(const QString& folder) {
    const QString source = ensureDatabase();
    if (!QDir().mkpath(folder)) throw std::runtime_error("generator: cannot make " + folder.toStdString());
    const QString target = QDir(folder).filePath(QString::fromUtf8(DatabaseFileName));
    QFile::remove(target);
    if (!QFile::copy(source, target))
        throw std::runtime_error("generator: cannot copy to " + target.toStdString());
    return target;
}

}
