// Matrix algebra of d3dx9math.h: identity, products, transpose, determinant and inverse.
#include <d3dx9math.h>

#include <cmath>

namespace
{

// The sixteen elements in double precision and the cofactor of every element, so that the
// determinant and the inverse come from one expansion without float cancellation.
struct CofactorExpansion
{
    double a[4][4];
    double cofactor[4][4];
    double determinant;

    explicit CofactorExpansion(const D3DXMATRIX& m)
    {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                a[r][c] = m.m[r][c];

        // 2x2 minors of the top two and the bottom two rows, indexed by column pair.
        const double s0 = a[0][0] * a[1][1] - a[1][0] * a[0][1];
        const double s1 = a[0][0] * a[1][2] - a[1][0] * a[0][2];
        const double s2 = a[0][0] * a[1][3] - a[1][0] * a[0][3];
        const double s3 = a[0][1] * a[1][2] - a[1][1] * a[0][2];
        const double s4 = a[0][1] * a[1][3] - a[1][1] * a[0][3];
        const double s5 = a[0][2] * a[1][3] - a[1][2] * a[0][3];
        const double c5 = a[2][2] * a[3][3] - a[3][2] * a[2][3];
        const double c4 = a[2][1] * a[3][3] - a[3][1] * a[2][3];
        const double c3 = a[2][1] * a[3][2] - a[3][1] * a[2][2];
        const double c2 = a[2][0] * a[3][3] - a[3][0] * a[2][3];
        const double c1 = a[2][0] * a[3][2] - a[3][0] * a[2][2];
        const double c0 = a[2][0] * a[3][1] - a[3][0] * a[2][1];

        determinant = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;

        cofactor[0][0] = a[1][1] * c5 - a[1][2] * c4 + a[1][3] * c3;
        cofactor[0][1] = -a[1][0] * c5 + a[1][2] * c2 - a[1][3] * c1;
        cofactor[0][2] = a[1][0] * c4 - a[1][1] * c2 + a[1][3] * c0;
        cofactor[0][3] = -a[1][0] * c3 + a[1][1] * c1 - a[1][2] * c0;
        cofactor[1][0] = -a[0][1] * c5 + a[0][2] * c4 - a[0][3] * c3;
        cofactor[1][1] = a[0][0] * c5 - a[0][2] * c2 + a[0][3] * c1;
        cofactor[1][2] = -a[0][0] * c4 + a[0][1] * c2 - a[0][3] * c0;
        cofactor[1][3] = a[0][0] * c3 - a[0][1] * c1 + a[0][2] * c0;
        cofactor[2][0] = a[3][1] * s5 - a[3][2] * s4 + a[3][3] * s3;
        cofactor[2][1] = -a[3][0] * s5 + a[3][2] * s2 - a[3][3] * s1;
        cofactor[2][2] = a[3][0] * s4 - a[3][1] * s2 + a[3][3] * s0;
        cofactor[2][3] = -a[3][0] * s3 + a[3][1] * s1 - a[3][2] * s0;
        cofactor[3][0] = -a[2][1] * s5 + a[2][2] * s4 - a[2][3] * s3;
        cofactor[3][1] = a[2][0] * s5 - a[2][2] * s2 + a[2][3] * s1;
        cofactor[3][2] = -a[2][0] * s4 + a[2][1] * s2 - a[2][3] * s0;
        cofactor[3][3] = a[2][0] * s3 - a[2][1] * s1 + a[2][2] * s0;
    }
};

} // namespace

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* pOut)
{
    *pOut = D3DXMATRIX(1.0f, 0.0f, 0.0f, 0.0f,
                       0.0f, 1.0f, 0.0f, 0.0f,
                       0.0f, 0.0f, 1.0f, 0.0f,
                       0.0f, 0.0f, 0.0f, 1.0f);
    return pOut;
}

BOOL D3DXMatrixIsIdentity(const D3DXMATRIX* pM)
{
    D3DXMATRIX identity;
    return *pM == *D3DXMatrixIdentity(&identity);
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2)
{
    // Built in a temporary: pOut may be one of the factors.
    D3DXMATRIX product;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            product.m[r][c] = pM1->m[r][0] * pM2->m[0][c] + pM1->m[r][1] * pM2->m[1][c] +
                              pM1->m[r][2] * pM2->m[2][c] + pM1->m[r][3] * pM2->m[3][c];
    *pOut = product;
    return pOut;
}

D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* pOut, const D3DXMATRIX* pM)
{
    D3DXMATRIX transposed;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            transposed.m[c][r] = pM->m[r][c];
    *pOut = transposed;
    return pOut;
}

D3DXMATRIX* D3DXMatrixMultiplyTranspose(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2)
{
    return D3DXMatrixTranspose(pOut, D3DXMatrixMultiply(pOut, pM1, pM2));
}

FLOAT D3DXMatrixDeterminant(const D3DXMATRIX* pM)
{
    return (FLOAT)CofactorExpansion(*pM).determinant;
}

D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* pOut, FLOAT* pDeterminant, const D3DXMATRIX* pM)
{
    const CofactorExpansion e(*pM);
    if (pDeterminant)
        *pDeterminant = (FLOAT)e.determinant;
    // Singular means a determinant of exactly zero, or none at all. Widened to double, the
    // products of two elements are exact, so a zero, repeated or scaled row cancels to 0.
    if (e.determinant == 0.0 || !std::isfinite(e.determinant))
        return nullptr;

    // inverse = adjugate / determinant; the adjugate is the transposed cofactor matrix.
    const double scale = 1.0 / e.determinant;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            pOut->m[r][c] = (FLOAT)(e.cofactor[c][r] * scale);
    return pOut;
}
