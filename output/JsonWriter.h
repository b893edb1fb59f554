#pragma once

// A loan as one JSON object, for scripts. It is written in chunks like the other
// writers (LoanWriters.h), one schedule row a line, and ends in a line feed:
//
//   {"terms":{"loanAmount":100000.00,"numPeriods":360,"interestRate":6,
//   "firstPayment":"2003-01-01","paymentFrequency":{"code":2,"name":"Monthly"},
//   "compoundFrequency":{"code":3,"name":"Monthly"},"balloon":false,"balloonPeriod":0,
//   "additionalPayment":0.00},"periodicRate":0.004999999999999893,"payment":599.55,
//   "payoff":{"payments":360,"lastPayment":"2032-12-01","totalPaid":215838.53,
//   "totalInterest":115838.53,"withoutAdditionalPayment":null,"saved":null},
//   "year":null,"rows":[
//   {"period":1,"date":"2003-01-01","payment":599.55,"interest":500.00,
//   "principal":99.55,"balance":99900.45},
//   ...
//   ],"annualTotals":null,"runningTotals":{"payment":215838.53,...}}
//
// (the rows stand on one line each). Money is a number with two decimals, rounded as
// the CSV rounds it ("%.2f" of the unrounded value, so -0.001 is -0.00); the rates are
// the shortest text that reads back as the same double. A date without a calendar day
// is null, and so is a number that is not finite, which a checked loan never has.
// "year" is the year listed, null for all of them; "annualTotals" sums its rows and is
// null when every year is listed. "payoff" is ComputePayoff's summary (Payoff.h), of
// the whole loan whichever year is listed; "withoutAdditionalPayment" and "saved" are null
// without an additional payment, and "saved" holds "payments", "years", "months" and
// "interest". Where the loan without its additional payment is beyond what can be shown
// (Payoff.h), both are null and "withoutAdditionalPaymentProblem" follows them with the
// reason; the member is there only then.
// Nothing depends on the user's locale.

#include "engine/ByteSink.h"
#include "engine/CTamsicDoc.h"
#include "engine/OleDateTime.h"

#include <optional>
#include <string>
#include <string_view>

namespace brellow {

struct PayoffFigures;

// Appends `text` quoted, with the quote, the backslash and the control characters
// escaped ("\n", "\u001f"); other bytes go as they are (the texts are UTF-8).
void AppendJsonString(std::string& out, std::string_view text);
// Appends "%.2f" of the value, or null when it is not finite.
void AppendJsonMoney(std::string& out, double value);
// Appends the shortest text that reads back as the value (0.005, 1e-07), or null when
// it is not finite.
void AppendJsonNumber(std::string& out, double value);
// Appends "YYYY-MM-DD" quoted, or null without a calendar date.
void AppendJsonDate(std::string& out, const OleDateTime& date);

// The members of one object, with the commas between them:
//   JsonObject object(out);                      // {
//   AppendJsonMoney(object.Key("payment"), 1.5);  // "payment":1.50
//   object.Close();                              // }
class JsonObject {
public:
    explicit JsonObject(std::string& out);
    // Starts the next member; append its value to the text returned.
    std::string& Key(std::string_view name);
    void Close();

private:
    std::string& m_out;
    bool m_empty = true;
};

// A frequency as its code and name: {"code":2,"name":"Monthly"}.
void AppendJsonFrequency(std::string& out, int code, const std::string& name);
// The members "payments", "lastPayment", "totalPaid" and "totalInterest" of payoff figures.
void AppendJsonPayoffFigures(JsonObject& object, const PayoffFigures& figures);
// Figures that may be left out: an object of those members, or null.
void AppendJsonPayoffFigures(std::string& out, const std::optional<PayoffFigures>& figures);

// Writes the loan, listing `year` (kAllYears or a calendar year) as the other writers
// do; false as soon as the sink fails.
bool WriteLoanJson(const CTamsicDoc& doc, int year, ByteSink& sink);
// The same bytes as one string.
std::string WriteLoanJson(const CTamsicDoc& doc, int year);

}  // namespace brellow
