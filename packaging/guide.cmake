# The user guide's PDF: docs/guida/*.md (Markdown, in the order of their file
# names, with their pictures beside them) becomes
# /usr/share/doc/korvan/guida.pdf when that folder has pages and pandoc is
# installed. pandoc joins the pages into one HTML fragment and
# korvan-guide-pdf draws it on A4 pages with Qt, so no LaTeX is needed.
# Without pages or without pandoc the package goes without the PDF.

add_executable(korvan-guide-pdf GuidePdf.cpp)
target_link_libraries(korvan-guide-pdf PRIVATE Qt6::Gui korvan_warnings)

set(guide_source ${PROJECT_SOURCE_DIR}/docs/guida)
file(GLOB guide_pages CONFIGURE_DEPENDS ${guide_source}/*.md)
list(SORT guide_pages)
find_program(KORVAN_PANDOC pandoc)
if(guide_pages AND KORVAN_PANDOC)
  file(GLOB_RECURSE guide_files CONFIGURE_DEPENDS ${guide_source}/*)
  set(guide_html ${CMAKE_CURRENT_BINARY_DIR}/guida.html)
  set(guide_pdf ${CMAKE_CURRENT_BINARY_DIR}/guida.pdf)
  add_custom_command(
    OUTPUT ${guide_pdf}
    COMMAND ${KORVAN_PANDOC} --from markdown --to html5 --output ${guide_html} ${guide_pages}
    COMMAND korvan-guide-pdf ${guide_html} ${guide_source} ${guide_pdf} "KORVAN - Guida per l'utente"
    DEPENDS ${guide_files} korvan-guide-pdf
    COMMENT "The user guide's PDF from docs/guida" VERBATIM)
  add_custom_target(korvan_guide ALL DEPENDS ${guide_pdf})
  install(FILES ${guide_pdf} DESTINATION ${doc_dir})
elseif(guide_pages)
  message(STATUS "pandoc is not installed: the package goes without the PDF of docs/guida")
endif()
