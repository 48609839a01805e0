#pragma once
// Singular value decomposition (Golub-Reinsch: Householder bidiagonalisation, then
// implicit-shift QR on the bidiagonal) and the least-squares solution from it. Used by the
// station position solution; sizes are whatever the caller has (no fixed limits).
#include <span>
#include <string>
#include <vector>

namespace velarix {

// Dense row-major matrix.
struct Matrix {
    int rows = 0;
    int cols = 0;
    std::vector<double> values;

    Matrix() = default;
    Matrix(int rowCount, int colCount)
        : rows(rowCount), cols(colCount), values(static_cast<size_t>(rowCount) * colCount, 0.0) {}
    double& operator()(int r, int c) { return values[static_cast<size_t>(r) * cols + c]; }
    double operator()(int r, int c) const { return values[static_cast<size_t>(r) * cols + c]; }
};

constexpr int kSvdMaxIterations = 30;  // QR sweeps allowed per singular value
inline constexpr const char* kSvdTooFewRows = "You must augment A with extra zero rows.\n";
inline constexpr const char* kSvdNoConvergence = "No convergence in 30 iterations.\n";

// A = U diag(w) V^T for an m x n matrix A with m >= n: U is m x n with orthonormal
// columns, w holds the n singular values (>= 0, in no particular order), V is n x n
// orthogonal.
struct SingularValueDecomposition {
    Matrix u;
    std::vector<double> w;
    Matrix v;
};

// "" on success; otherwise kSvdTooFewRows (m < n, refused) or kSvdNoConvergence, and
// `svd` is not usable.
std::string DecomposeSvd(const Matrix& a, SingularValueDecomposition& svd);

// The least-squares solution x (n values) of A x = b (b has m values). Singular values
// below max(m, n) * machine epsilon * the largest one count as zero: the solution has no
// component along their directions. Empty when b has not m values.
std::vector<double> SolveSvd(const SingularValueDecomposition& svd, std::span<const double> b);

}  // namespace velarix
