#include "band_solver.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace brisol {
namespace {

// A symmetric positive definite pentadiagonal matrix of the given size.
BandMatrix sample(std::size_t size) {
  BandMatrix matrix(size, 2);
  for (std::size_t i = 0; i < size; ++i) {
    matrix.add(i, i, 10.0 + static_cast<double>(i));
    if (i + 1 < size) matrix.add(i + 1, i, -2.0 - 0.1 * static_cast<double>(i));
    if (i + 2 < size) matrix.add(i, i + 2, 0.5);
  }
  return matrix;
}

TEST(BandMatrix, IsSymmetricAndZeroOutsideTheBand) {
  BandMatrix matrix(4, 1);
  matrix.add(1, 0, 3.0);
  matrix.add(0, 1, 1.0);
  EXPECT_EQ(4.0, matrix.at(0, 1));
  EXPECT_EQ(4.0, matrix.at(1, 0));
  EXPECT_EQ(0.0, matrix.at(0, 2));
  EXPECT_EQ(0.0, matrix.at(3, 9));
  EXPECT_THROW(matrix.add(0, 2, 1.0), std::out_of_range);
  EXPECT_THROW(matrix.add(3, 4, 1.0), std::out_of_range);
}

TEST(BandMatrix, MultipliesLikeTheFullMatrix) {
  const BandMatrix matrix = sample(6);
  const std::vector<double> x = {1, -2, 3, 0.5, -1, 2};
  const std::vector<double> y = matrix.multiply(x);
  for (std::size_t i = 0; i < 6; ++i) {
    double expected = 0;
    for (std::size_t j = 0; j < 6; ++j) expected += matrix.at(i, j) * x[j];
    EXPECT_NEAR(expected, y[i], 1e-12) << i;
  }
}

TEST(BandCholesky, SolvesToTheRoundingOfTheData) {
  for (const std::size_t size : {1u, 2u, 3u, 50u}) {
    const BandMatrix matrix = sample(size);
    std::vector<double> expected(size);
    for (std::size_t i = 0; i < size; ++i) expected[i] = 1.0 + 0.25 * static_cast<double>(i % 7) - 0.5;
    std::vector<double> x = matrix.multiply(expected);
    BandCholesky cholesky;
    std::size_t failedRow = 99;
    ASSERT_TRUE(cholesky.factor(matrix, failedRow));
    cholesky.solve(x);
    for (std::size_t i = 0; i < size; ++i) EXPECT_NEAR(expected[i], x[i], 1e-13) << size << " " << i;
  }
}

TEST(BandCholesky, RefusesASingularOrIndefiniteMatrixAndNamesTheRow) {
  BandMatrix singular(3, 1);  // a free-free chain of two springs: it can translate
  for (std::size_t i = 0; i < 2; ++i) {
    singular.add(i, i, 1);
    singular.add(i + 1, i + 1, 1);
    singular.add(i, i + 1, -1);
  }
  BandCholesky cholesky;
  std::size_t failedRow = 0;
  EXPECT_FALSE(cholesky.factor(singular, failedRow));
  EXPECT_EQ(2u, failedRow);

  BandMatrix negative(2, 1);
  negative.add(0, 0, -1);
  negative.add(1, 1, 1);
  EXPECT_FALSE(cholesky.factor(negative, failedRow));
  EXPECT_EQ(0u, failedRow);
}

}  // namespace
}  // namespace brisol
