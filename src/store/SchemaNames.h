#pragma once

#include <string>
#include <string_view>

// The spelling the payroll schema gives a name ("iEnquiryID" for "ienquiryid"): a server folds
// the unquoted names of its tables to lower case, and files and messages must not depend on the
// engine. A name the schema does not hold comes back as given.
std::string SchemaSpelling(std::string_view name);
