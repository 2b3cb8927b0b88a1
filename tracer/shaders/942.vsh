; Triangle corner upload: each point lands on its triangle's texel of an S x S texture, and the
; corner's position, normal, tangent and texture coordinate go on.
; c0 (1/S, 1/S, z, w)   c1 (2, -1, -, -)
; In: v0 position   v1 texture coordinate   v2 tangent   v4 normal   v5 texel (column, row)
; Out: oPos (2 column / S - 1, 1 - 2 row / S, c0.z, c0.w)   oT0 position   oT1 normal
; oT2 tangent   oT3 texture coordinate
vs.2.0
dcl_position v0
dcl_texcoord0 v1
dcl_texcoord1 v2
dcl_texcoord3 v4
dcl_texcoord4 v5
mul r0.xy, v5, c0
mul r0.xy, r0, c1.x
add r0.xy, r0, c1.y
mov oPos.x, r0.x
mov oPos.y, -r0.y
mov oPos.zw, c0
mov oT0, v0
mov oT1, v4
mov oT2, v2
mov oT3, v1
