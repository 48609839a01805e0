#include "gnss/svd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

Matrix fromRows(const std::vector<std::vector<double>>& rows) {
    Matrix m(static_cast<int>(rows.size()), static_cast<int>(rows[0].size()));
    for (int r = 0; r < m.rows; ++r) {
        for (int c = 0; c < m.cols; ++c) m(r, c) = rows[r][c];
    }
    return m;
}

// U diag(w) V^T reproduces A, U and V have orthonormal columns, w >= 0.
void expectValidDecomposition(const Matrix& a, const SingularValueDecomposition& svd) {
    const int m = a.rows, n = a.cols;
    for (double w : svd.w) EXPECT_GE(w, 0.0);
    for (int r = 0; r < m; ++r) {
        for (int c = 0; c < n; ++c) {
            double sum = 0.0;
            for (int k = 0; k < n; ++k) sum += svd.u(r, k) * svd.w[k] * svd.v(c, k);
            EXPECT_NEAR(sum, a(r, c), 1e-12) << r << "," << c;
        }
    }
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            double uu = 0.0, vv = 0.0;
            for (int r = 0; r < m; ++r) uu += svd.u(r, i) * svd.u(r, j);
            for (int r = 0; r < n; ++r) vv += svd.v(r, i) * svd.v(r, j);
            EXPECT_NEAR(uu, i == j ? 1.0 : 0.0, 1e-12);
            EXPECT_NEAR(vv, i == j ? 1.0 : 0.0, 1e-12);
        }
    }
}

std::vector<double> sorted(std::vector<double> w) {
    std::sort(w.begin(), w.end());
    return w;
}

}  // namespace

TEST(Svd, KnownDecompositionsAndAwkwardShapes) {
    // A = [[2, 0], [0, -3], [0, 0]] has singular values 2 and 3.
    const Matrix diagonal = fromRows({{2, 0}, {0, -3}, {0, 0}});
    SingularValueDecomposition svd;
    ASSERT_EQ(DecomposeSvd(diagonal, svd), "");
    EXPECT_EQ(sorted(svd.w), (std::vector<double>{2.0, 3.0}));
    expectValidDecomposition(diagonal, svd);

    // [[1, 2], [3, 4], [5, 6]]: A^T A = [[35, 44], [44, 56]], w^2 = 45.5 +- sqrt(45.5^2 - 24).
    const Matrix classic = fromRows({{1, 2}, {3, 4}, {5, 6}});
    ASSERT_EQ(DecomposeSvd(classic, svd), "");
    const double disc = std::sqrt(45.5 * 45.5 - 24.0);
    const std::vector<double> w = sorted(svd.w);
    EXPECT_NEAR(w[0], std::sqrt(45.5 - disc), 1e-13);
    EXPECT_NEAR(w[1], std::sqrt(45.5 + disc), 1e-13);
    expectValidDecomposition(classic, svd);

    // Rank-deficient (equal columns), zero column, an upper bidiagonal with a zero diagonal
    // entry in the middle, and a pseudorange-like design matrix.
    const std::vector<Matrix> others = {
        fromRows({{1, 1, 2}, {2, 2, -1}, {3, 3, 0}, {4, 4, 1}}),
        fromRows({{0, 1, 2}, {0, 3, 1}, {0, -1, 5}}),
        fromRows({{1, 2, 0, 0}, {0, 0, 3, 0}, {0, 0, 4, 5}, {0, 0, 0, 6}}),
        fromRows({{-0.31, 0.52, -0.79, 1},
                  {0.66, -0.13, -0.74, 1},
                  {-0.12, -0.68, -0.72, 1},
                  {0.45, 0.61, -0.65, 1},
                  {-0.70, -0.21, -0.68, 1},
                  {0.05, 0.15, -0.99, 1}}),
        Matrix(3, 3),
    };
    for (const Matrix& a : others) {
        ASSERT_EQ(DecomposeSvd(a, svd), "");
        expectValidDecomposition(a, svd);
    }
}

TEST(Svd, RefusesWideMatricesAndReportsNonConvergence) {
    SingularValueDecomposition svd;
    EXPECT_EQ(DecomposeSvd(Matrix(3, 4), svd), "You must augment A with extra zero rows.\n");
    Matrix poisoned = fromRows({{1, 2}, {3, 4}, {5, 6}});
    poisoned(1, 0) = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(DecomposeSvd(poisoned, svd), "No convergence in 30 iterations.\n");
}

TEST(Svd, LeastSquaresSolutions) {
    SingularValueDecomposition svd;
    // Consistent overdetermined system: the exact solution.
    const Matrix a = fromRows({{1, 0, 2}, {0, 1, 1}, {1, 1, 0}, {2, -1, 1}});
    const std::vector<double> x{0.5, -2.0, 3.0};
    std::vector<double> b(4, 0.0);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) b[r] += a(r, c) * x[c];
    }
    ASSERT_EQ(DecomposeSvd(a, svd), "");
    const std::vector<double> solved = SolveSvd(svd, b);
    ASSERT_EQ(solved.size(), 3u);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(solved[c], x[c], 1e-12);

    // Inconsistent: the line y = p + q t through (0, 1), (1, 3), (2, 4) is p = 7/6, q = 3/2.
    ASSERT_EQ(DecomposeSvd(fromRows({{1, 0}, {1, 1}, {1, 2}}), svd), "");
    EXPECT_NEAR(SolveSvd(svd, std::vector<double>{1, 3, 4})[0], 7.0 / 6.0, 1e-13);
    EXPECT_NEAR(SolveSvd(svd, std::vector<double>{1, 3, 4})[1], 1.5, 1e-13);

    // Equal columns: the zero singular value is dropped, giving the minimum-norm solution.
    ASSERT_EQ(DecomposeSvd(fromRows({{1, 1}, {2, 2}, {3, 3}}), svd), "");
    const std::vector<double> minimum = SolveSvd(svd, std::vector<double>{2, 4, 6});
    EXPECT_NEAR(minimum[0], 1.0, 1e-12);
    EXPECT_NEAR(minimum[1], 1.0, 1e-12);

    EXPECT_TRUE(SolveSvd(svd, std::vector<double>{1, 2}).empty());  // b of the wrong length
}
