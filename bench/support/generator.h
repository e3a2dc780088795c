#pragma once

#include <QString>

// The generated database every benchmark works on.
//
// ensureDatabase() returns the path of an encrypted database file, made the
// first time and then kept at /tmp/tarvel-bench/"Bd DedUvevaro.mdb" (with
// the program's password). It is made again when the file is missing, when
// DataVersion below changes, when the table definitions change, or when it
// was made on an earlier day (its dates are relative to the day it was made,
// Clock::today()). Making it takes a few seconds; a lock file lets several
// benchmark programs started at once share one run of the generator.
//
// Contents (fixed random seed, so the same rows every time apart from the
// dates, which follow the day the file is made):
//   - the delivered rows of a new database (company, settings, statuses,
//     operator ADMINISTRADOR);
//   - TblClientes: Customers rows, Codigo 1..Customers. Names are upper-case
//     Brazilian names built from a first name, sometimes a second name, and
//     one or two surnames ("MARIA SILVA SANTOS", "JOÃO DA CONCEIÇÃO ARAÚJO");
//     about one name in twenty-five begins with "SILV" (SILVIA, SILVANA,
//     SILVIO, SILVÉRIO), the first of them early in the table. Street and number, some complements, districts, cities
//     (most customers in one city), CEP, home, work and mobile phones, some
//     e-mails, the operator and DataCadastro over ten years;
//   - TblApEntregues: Delivered rows with all sixty fields. IdApEntregues
//     1..Delivered in order of exit, Os 1..Delivered, DataSaida over the last
//     three years, the customer fields copied from customer IdCliente,
//     appliance, brand, model, chassis, serial, defect, condition,
//     accessories, order type and status, the report lines as the checkout
//     writes them (Relatorio0..4 and Relatorio55 "CODE QTY ID DESCRIPTION
//     VALUE" or four blanks for an unused parts row, Relatorio5 "R$" and the
//     labour, Relatorio6 total, Relatorio7 discount, Relatorio9..11
//     observations), ValorCobrado as Currency, "Garantia de Serviço" and
//     DATALIMITEGARANTIA (warranty end dates from three years ago to a year
//     ahead, the flag true when the date is not past);
//   - TblManutencao: OpenOrders open orders, Os Delivered+1..
//     Delivered+OpenOrders, DataEntrada over the past year, Dias as the daily
//     update sets it, parts rows with unit prices and values, labour, totals;
//   - TblApClientes: one appliance per delivered row and per open order, for
//     the order's customer;
//   - the small lists (TblMarca, TblAparelhos, TblDpto, TblTecnicos).
//
// Benchmarks that write must work on a copy (copyDatabase) so that the cached
// file stays as generated.
namespace BenchData {

// Raise when the generated contents change.
inline constexpr int DataVersion = 1;

inline constexpr int Customers = 100000;
inline constexpr int Delivered = 100000;
inline constexpr int OpenOrders = 5000;

// Path of the generated file; makes it first when needed. Throws
// std::runtime_error (or DbError) when it cannot be made.
QString ensureDatabase();

// Customers only, LargeCustomers of them (the same rows as the first
// Customers of the file above and their kind), made once and kept in the
// build folder (bench-data, beside the benchmark programs' folder).
inline constexpr int LargeCustomers = 1000000;
QString ensureLargeCustomers();
// The same with SmallCustomers of them, for the figures that must not grow
// with the table.
inline constexpr int SmallCustomers = 1000;
QString ensureSmallCustomers();

// Copies the generated file into folder (made when missing) under the
// program's file name, replacing a file of that name, and returns the copy's
// path.
QString copyDatabase(const QString& folder);

}
