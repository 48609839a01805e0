#include "gnss/orbits/svd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace velarix {

namespace {

Matrix fromRows(const std::vector<std::vector<double>>& rows) {
    Matrix m(static_cast<int>(rows.size()), static_cast<int>(rows[0].size()));
    for (int r = 0; r < m.rows; ++r) std::copy(rows[r].begin(), rows[r].end(), &m(r, 0));
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

}  // namespace

TEST(Svd, ValidDecompositionsOfAwkwardShapesAndFailures) {
    // A valid decomposition holds the singular values. A negative diagonal, equal columns,
    // a zero column, an upper bidiagonal with a zero diagonal entry in the middle, zeros.
    const std::vector<Matrix> awkward = {
        fromRows({{1, 2}, {3, 4}, {5, 6}}),
        fromRows({{2, 0}, {0, -3}, {0, 0}}),
        fromRows({{1, 1, 2}, {2, 2, -1}, {3, 3, 0}, {4, 4, 1}}),
        fromRows({{0, 1, 2}, {0, 3, 1}, {0, -1, 5}}),
        fromRows({{1, 2, 0, 0}, {0, 0, 3, 0}, {0, 0, 4, 5}, {0, 0, 0, 6}}),
        Matrix(3, 3),
    };
    SingularValueDecomposition svd;
    for (const Matrix& a : awkward) {
        ASSERT_EQ(DecomposeSvd(a, svd), "");
        expectValidDecomposition(a, svd);
    }
    EXPECT_TRUE(SolveSvd(svd, std::vector<double>{1, 2}).empty());  // b of the wrong length
    EXPECT_EQ(DecomposeSvd(Matrix(3, 4), svd), "You must augment A with extra zero rows.\n");
    Matrix poisoned = awkward[0];
    poisoned(1, 0) = std::nan("");
    EXPECT_EQ(DecomposeSvd(poisoned, svd), "No convergence in 30 iterations.\n");
}

}  // namespace velarix
