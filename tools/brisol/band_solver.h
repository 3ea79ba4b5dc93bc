// Symmetric banded matrices and their Cholesky factorisation. A beam's
// matrices have half-bandwidth 3, so storage and work grow linearly with the
// number of elements.
#ifndef BRISOL_BAND_SOLVER_H
#define BRISOL_BAND_SOLVER_H

#include <cstddef>
#include <vector>

namespace brisol {

class BandMatrix {
 public:
  // `bandwidth` is the number of entries right of the diagonal that may be non-zero.
  BandMatrix(std::size_t size, std::size_t bandwidth);

  std::size_t size() const { return size_; }
  std::size_t bandwidth() const { return bandwidth_; }

  // Entry (row, column), in either triangle; zero outside the band.
  double at(std::size_t row, std::size_t column) const;
  // Adds to (row, column) and, by symmetry, to (column, row); the entry must
  // lie inside the band.
  void add(std::size_t row, std::size_t column, double value);

  std::vector<double> multiply(const std::vector<double>& x) const;

 private:
  friend class BandCholesky;
  double& upper(std::size_t row, std::size_t column) { return data_[row * (bandwidth_ + 1) + (column - row)]; }
  double upper(std::size_t row, std::size_t column) const { return data_[row * (bandwidth_ + 1) + (column - row)]; }

  std::size_t size_;
  std::size_t bandwidth_;
  std::vector<double> data_;  // row by row: the diagonal, then the entries right of it
};

// A = U^T U with U upper triangular of A's bandwidth.
class BandCholesky {
 public:
  // False when the matrix is not positive definite, for a structure that is
  // not held against rigid motion; `failedRow` then names the row.
  bool factor(const BandMatrix& matrix, std::size_t& failedRow);
  // Solves A x = b in place.
  void solve(std::vector<double>& b) const;

 private:
  BandMatrix factor_{0, 0};
};

}  // namespace brisol

#endif
