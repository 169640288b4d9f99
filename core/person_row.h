#pragma once
// The Person row of a sample: one row per counted sample, keyed by its sample number and test
// date. This module finds it and builds the statements that select, update and delete it by that
// key; nobody else writes the key's SQL. It also formats the date ("YYYY-MM-DD") and
// time ("HH:MM:SS") texts the store keeps (the key's date, the row's time, the log's date) from a
// clock reading: the one formatter of these texts.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/sys/clock.h"

class CADOConn;

// "2026-12-09" (the year as it is, month and day two digits).
std::string StoredDateText(const sys::LocalTime& t);
// "08:05:03".
std::string StoredTimeText(const sys::LocalTime& t);
// The date and time texts of the clock now.
std::string StoredDateToday();
std::string StoredTimeNow();

// "SampleNo='7' and TestDate='2026-12-09'", both texts made safe for SQL.
std::string PersonKeyWhere(const std::string& sampleNo, const std::string& testDate);
// "Select * from Person where <key>".
std::string SelectPersonSql(const std::string& sampleNo, const std::string& testDate);
// "<verb> Person set <assignments> where <key>" (verb "update" or "Update", as callers spell it).
std::string UpdatePersonSql(const std::string& assignments, const std::string& sampleNo, const std::string& testDate,
                            const char* verb = "update");
// "delete from Person where <key>".
std::string DeletePersonSql(const std::string& sampleNo, const std::string& testDate);

// Opens the sample's row as the connection's recordset: true when the row is there (the caller
// reads its fields, then closes the recordset). *opened (when given) says whether the query ran.
bool OpenPersonRow(CADOConn& conn, const std::string& sampleNo, const std::string& testDate, bool* opened = nullptr);
// The patient columns of a sample's row, each held when it could be read (a Null stays empty).
struct PersonPatient {
  bool found = false;
  std::optional<std::string> Name, Sex, AgeUnit, ReferValue, MedicalNo, BedNo, Dept, Sender, Scrutator, Checker;
  std::optional<int32_t> Age;
};
// Reads them in one query.
PersonPatient ReadPersonPatient(CADOConn& conn, const std::string& sampleNo, const std::string& testDate);
// What a row the count inserts holds in them: empty texts and age 0.
PersonPatient InsertedPersonPatient(const std::string& referValue);

// Whether the sample has a row; the recordset is closed again.
bool PersonRowExists(CADOConn& conn, const std::string& sampleNo, const std::string& testDate, bool* opened = nullptr);
