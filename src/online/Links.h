#pragma once

#include <QString>

// The maker's addresses, fixed when the program is built.
namespace links {

QString homeAddress(); // the web site
QString mailAddress(); // a "mailto:" address of the author, for mail and error reports
// The author's mail address as a person reads it: without "mailto:" and any query.
QString mailShown();

} // namespace links
