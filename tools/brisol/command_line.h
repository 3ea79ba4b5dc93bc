// The solver's command line:
//   brisol DECK          solve the deck (run in the deck's folder by the host)
//   brisol -- DECK       the same, for a deck whose name begins with '-'
//   brisol sr ARGS...    the results module: hands the whole line to tallex
//   brisol --help | --version
#ifndef BRISOL_COMMAND_LINE_H
#define BRISOL_COMMAND_LINE_H

#include <ostream>
#include <string>
#include <vector>

namespace brisol {

// `arguments` without the program name. Returns the exit status (2 for a
// line that does not parse); for "sr" it returns only when tallex could not
// be started. Help and version go to `out`.
int runBrisol(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// The tallex program: beside `selfPath` (the running executable) first, then
// the first executable "tallex" of `searchPath` (colon-separated, an empty
// entry meaning the current folder; an empty path holds none). Empty when
// there is none.
std::string findTallex(const std::string& selfPath, const std::string& searchPath);

}  // namespace brisol

#endif
