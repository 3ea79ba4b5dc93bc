#include "output_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace brisol {

// Both separators are taken, as decks travel between systems.
OutputFiles::OutputFiles(const std::string& deckPath) {
  const auto slash = deckPath.find_last_of("/\\");
  const std::string folder = slash == std::string::npos ? "" : deckPath.substr(0, slash + 1);
  deckName_ = slash == std::string::npos ? deckPath : deckPath.substr(slash + 1);
  const auto dot = deckName_.rfind('.');
  base_ = dot == std::string::npos || dot == 0 ? deckName_ : deckName_.substr(0, dot);
  stem_ = folder + base_;
}

void OutputFiles::removeEarlierResults() const {
  std::remove(database().c_str());
  for (const Module module : {Module::Static, Module::Modal}) {
    std::remove(description(module).c_str());
    std::remove(factors(module).c_str());
  }
}

bool OutputFiles::writeModuleFiles(const BeamModel& model, Module module, std::string& why) const {
  const std::string name = moduleName(module);
  std::string description = "Brisol model description\ndeck " + deckName_ + "\nmodule " + name +
                            "\nmodel cantilever, clamped at x = 0, tip load\nelements " +
                            std::to_string(model.elements) + "\nnodes " + std::to_string(model.nodes()) + "\nlength " +
                            formatNumber(model.length) + " mm\nwidth " + formatNumber(model.width) + " mm\nheight " +
                            formatNumber(model.height) + " mm\nyoung " + formatNumber(model.young) + " MPa\n";
  if (module == Module::Static) description += "load " + formatNumber(model.load) + " N\n";
  if (module == Module::Modal) description += "density " + formatNumber(model.density) + " t/mm^3\n";
  const std::string factors = "Brisol factor file\nmodule " + name + "\nfreedoms " +
                              std::to_string(2 * model.elements) + "\nbandwidth 3\nresults " + base_ + ".sdb\n";
  return replaceFile(this->description(module), description, why) && replaceFile(this->factors(module), factors, why);
}

bool replaceFile(const std::string& path, const std::string& text, std::string& why) {
  return replaceFile(
      path, [&text](std::ostream& out) { out << text; }, why);
}

bool replaceFile(const std::string& path, const std::function<void(std::ostream&)>& write, std::string& why) {
  const std::string temporary = path + ".temp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) {
      why = "unable to create \"" + temporary + "\": " + std::strerror(errno);
      return false;
    }
    write(out);
    out.close();
    if (!out) {
      why = "unable to write \"" + temporary + "\"";
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    why = "unable to rename \"" + temporary + "\" to \"" + path + "\": " + std::strerror(errno);
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace brisol
