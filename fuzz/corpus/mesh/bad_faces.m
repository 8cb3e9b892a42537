Vertex 1 0 0 0
Vertex 2 1 0 0
Vertex 3 0 1 0
Face 1 1 2 4
Face 2 0 1 2
Face 3 1 2
Face 4 1 2 {rgb=(1 0 0) matid=1}
Face 5 1 2 3, 4
Face 6 1 -2 3
Face 7 1 2 3 x
Face 8 1 2 3 99999999999999999999999
Face 9 1 2 3 {nothing}
Face 10 1 2 2
