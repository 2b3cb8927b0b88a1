; Grid point: the point of cell (x, y) of a G x G grid texture lands on that texel.
; c0 (1/G, 1/G, 0, 1)   c1 (2, -1, 0, 1)
; In: v0 (x, y) texel of the cell, v1 (u, v) passed on
; Out: oPos (2x / G - 1, 1 - 2y / G, 0, 1), oT0 (u, v)
vs.2.0
dcl_position v0
dcl_texcoord0 v1
mul r0.xy, v0, c0
mul r0.xy, r0, c1.x
add r0.xy, r0, c1.y
mov oPos.x, r0.x
mov oPos.y, -r0.y
mov oPos.zw, c0.zw
mov oT0.xy, v1
