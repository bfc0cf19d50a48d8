// ocr: recognises the text of an image or PDF and writes a JSON result document.
#include <string>
#include <vector>

#include "engine/leptonica/leptonica_image_decoder.h"
#include "engine/leptonica/leptonica_png_writer.h"
#include "engine/pipeline/threaded_page_pipeline.h"
#include "engine/poppler/poppler_pdf_renderer.h"
#include "engine/tesseract/openmp_thread_limit.h"
#include "engine/tesseract/tesseract_recognizer.h"
#include "run.h"
#include "tool.h"

int main(int argc, char** argv) {
  ocr::engine::EnsureSingleThreadedOpenMp(argv);

  ocr::engine::TesseractRecognizer recognizer;
  ocr::engine::LeptonicaImageDecoder imageDecoder;
  ocr::engine::PopplerPdfOpener pdfOpener;
  ocr::engine::LeptonicaPngWriter pngWriter;
  ocr::engine::TesseractRecognizerFactory recognizerFactory;
  ocr::engine::ThreadedPagePipeline pagePipeline;
  ocr::Engines engines{recognizer, imageDecoder,      pdfOpener,
                       pngWriter,  recognizerFactory, pagePipeline};

  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return ocr::RunTool(arguments, engines);
}
