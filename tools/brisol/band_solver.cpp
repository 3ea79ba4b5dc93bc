#include "band_solver.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace brisol {

BandMatrix::BandMatrix(std::size_t size, std::size_t bandwidth)
    : size_(size), bandwidth_(bandwidth), data_(size * (bandwidth + 1), 0.0) {}

double BandMatrix::at(std::size_t row, std::size_t column) const {
  if (column < row) std::swap(row, column);
  if (column >= size_ || column - row > bandwidth_) return 0.0;
  return upper(row, column);
}

void BandMatrix::add(std::size_t row, std::size_t column, double value) {
  if (column < row) std::swap(row, column);
  if (column >= size_ || column - row > bandwidth_) throw std::out_of_range("entry outside the band");
  upper(row, column) += value;
}

std::vector<double> BandMatrix::multiply(const std::vector<double>& x) const {
  std::vector<double> y(size_, 0.0);
  for (std::size_t i = 0; i < size_; ++i) {
    y[i] += upper(i, i) * x[i];
    const std::size_t last = std::min(size_ - 1, i + bandwidth_);
    for (std::size_t j = i + 1; j <= last; ++j) {
      y[i] += upper(i, j) * x[j];
      y[j] += upper(i, j) * x[i];
    }
  }
  return y;
}

bool BandCholesky::factor(const BandMatrix& matrix, std::size_t& failedRow) {
  const std::size_t n = matrix.size();
  const std::size_t b = matrix.bandwidth();
  factor_ = matrix;
  BandMatrix& u = factor_;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t first = i > b ? i - b : 0;
    double pivot = u.upper(i, i);
    for (std::size_t k = first; k < i; ++k) pivot -= u.upper(k, i) * u.upper(k, i);
    // Rounding leaves a tiny remainder where a singular matrix would have a zero.
    if (!(pivot > 1e-12 * std::abs(matrix.upper(i, i)))) {
      failedRow = i;
      return false;
    }
    const double diagonal = std::sqrt(pivot);
    u.upper(i, i) = diagonal;
    const std::size_t last = std::min(n - 1, i + b);
    for (std::size_t j = i + 1; j <= last; ++j) {
      double sum = u.upper(i, j);
      for (std::size_t k = j > b ? j - b : 0; k < i; ++k) sum -= u.upper(k, i) * u.upper(k, j);
      u.upper(i, j) = sum / diagonal;
    }
  }
  return true;
}

void BandCholesky::solve(std::vector<double>& x) const {
  const BandMatrix& u = factor_;
  const std::size_t n = u.size();
  const std::size_t b = u.bandwidth();
  for (std::size_t i = 0; i < n; ++i) {  // U^T y = b
    double sum = x[i];
    for (std::size_t k = i > b ? i - b : 0; k < i; ++k) sum -= u.upper(k, i) * x[k];
    x[i] = sum / u.upper(i, i);
  }
  for (std::size_t i = n; i-- > 0;) {  // U x = y
    double sum = x[i];
    const std::size_t last = std::min(n - 1, i + b);
    for (std::size_t j = i + 1; j <= last; ++j) sum -= u.upper(i, j) * x[j];
    x[i] = sum / u.upper(i, i);
  }
}

}  // namespace brisol
